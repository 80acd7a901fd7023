#include "pelcodec.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// The lookup tables are built at compile time and never written, so concurrent calls share
// nothing that changes.
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
constexpr int kPad = 64;

// Both characters of every 12-bit value, so that three input bytes take two lookups.
constexpr std::array<std::array<char, 2>, 4096> MakePairs() {
    std::array<std::array<char, 2>, 4096> pairs{};
    for (int v = 0; v < 4096; ++v)
        pairs[v] = {kAlphabet[v >> 6], kAlphabet[v & 0x3F]};
    return pairs;
}
constexpr auto kPairs = MakePairs();

// Alphabet characters to their values; "=" and every other character to 0.
constexpr std::array<unsigned char, 256> MakeValues() {
    std::array<unsigned char, 256> values{};
    for (int v = 0; v < 64; ++v)
        values[static_cast<unsigned char>(kAlphabet[v])] = static_cast<unsigned char>(v);
    return values;
}
constexpr auto kValues = MakeValues();

class Fd {
  public:
    explicit Fd(int fd) : fd(fd) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd; }
    // Closes now, so that a failed flush to disk is seen.
    bool Close() {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

  private:
    int fd;
};

struct Buffer {
    std::unique_ptr<unsigned char[]> bytes;
    size_t size = 0;
};

// The whole input, however its size changes while it is read.
bool ReadWholeFile(const char* path, Buffer& retBuffer) {
    Fd in(::open(path, O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (in.get() < 0 || ::fstat(in.get(), &info) != 0)
        return false;
    size_t capacity = info.st_size > 0 ? static_cast<size_t>(info.st_size) + 1 : 65536;
    retBuffer.bytes.reset(new unsigned char[capacity]);
    retBuffer.size = 0;
    for (;;) {
        if (retBuffer.size == capacity) {
            std::unique_ptr<unsigned char[]> larger(new unsigned char[capacity * 2]);
            std::memcpy(larger.get(), retBuffer.bytes.get(), retBuffer.size);
            retBuffer.bytes = std::move(larger);
            capacity *= 2;
        }
        const ssize_t got =
            ::read(in.get(), retBuffer.bytes.get() + retBuffer.size, capacity - retBuffer.size);
        if (got == 0)
            return true;
        if (got < 0)
            return false;
        retBuffer.size += static_cast<size_t>(got);
    }
}

// The bytes of a file to encode: mapped when it is a regular file, so that they are not copied,
// read into memory otherwise.
class InputBytes {
  public:
    InputBytes() = default;
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;
    ~InputBytes() {
        if (mapped)
            ::munmap(mapped, size);
    }

    bool Open(const char* path) {
        Fd in(::open(path, O_RDONLY | O_CLOEXEC));
        struct stat info {};
        if (in.get() < 0 || ::fstat(in.get(), &info) != 0)
            return false;
        if (S_ISREG(info.st_mode) && info.st_size > 0) {
            size = static_cast<size_t>(info.st_size);
            mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, in.get(), 0);
            if (mapped != MAP_FAILED) {
                ::madvise(mapped, size, MADV_SEQUENTIAL);
                bytes = static_cast<const unsigned char*>(mapped);
                return true;
            }
            mapped = nullptr;
        }
        if (!ReadWholeFile(path, buffer))
            return false;
        bytes = buffer.bytes.get();
        size = buffer.size;
        return true;
    }

    const unsigned char* bytes = nullptr;
    size_t size = 0;

  private:
    void* mapped = nullptr;
    Buffer buffer;
};

// Writes all of data at byte offset at of the file.
bool WriteAllAt(int fd, const void* data, size_t size, off_t at) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, bytes, size, at);
        if (put <= 0)
            return false;
        bytes += put;
        at += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

// An existing output file is replaced by a new one rather than truncated, which would make the
// file system write the old one out first; anything that is not a regular file (a device, a
// pipe) is opened as it is, never removed. It is opened for reading too, which mapping it needs; a
// file that may only be written still takes the text through write calls.
int CreateOutput(const char* path) {
    struct stat info {};
    if (::stat(path, &info) == 0 && S_ISREG(info.st_mode))
        ::unlink(path);
    constexpr mode_t mode = 0666;
    const int fd = ::open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    return fd >= 0 || errno != EACCES
               ? fd
               : ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
}

// Four characters for the last one or two bytes, with 64 standing for a missing sextet.
void EncodeTail(const unsigned char* in, size_t remaining, char* out) {
    const int b0 = in[0];
    const int b1 = remaining == 2 ? in[1] : 0;
    out[0] = kAlphabet[b0 >> 2];
    out[1] = kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out[2] = kAlphabet[remaining == 2 ? (b1 & 0x0F) << 2 : kPad];
    out[3] = kAlphabet[kPad];
}

// The two characters of a 12-bit value as the low 16 bits, first character lowest.
inline uint64_t Pair(uint64_t value) {
    uint16_t pair = 0;
    std::memcpy(&pair, kPairs[value & 0xFFF].data(), 2);
    return pair;
}

// Six bytes to eight characters with one 64-bit load and store; reads two bytes past the six.
inline void EncodeSix(const unsigned char* in, char* out) {
    uint64_t bytes = 0;
    std::memcpy(&bytes, in, 8);
    bytes = __builtin_bswap64(bytes);
    const uint64_t text = Pair(bytes >> 52) | Pair(bytes >> 40) << 16 | Pair(bytes >> 28) << 32 |
                          Pair(bytes >> 16) << 48;
    std::memcpy(out, &text, 8);
}

// Encodes count bytes (a multiple of 3) to count / 3 * 4 characters at out.
void EncodeGroups(const unsigned char* in, size_t count, char* out) {
    const unsigned char* end = in + count;
    // Twelve bytes a step while the loads stay inside the input.
    for (; end - in >= 14; in += 12, out += 16) {
        EncodeSix(in, out);
        EncodeSix(in + 6, out + 8);
    }
    for (; in != end; in += 3, out += 4) {
        const unsigned v = (unsigned{in[0]} << 16) | (unsigned{in[1]} << 8) | in[2];
        std::memcpy(out, kPairs[v >> 12].data(), 2);
        std::memcpy(out + 2, kPairs[v & 0xFFF].data(), 2);
    }
}

// The text of the whole input, encoded straight into the output's pages in one pass. The
// blocks are allocated first, so that a full disk fails here rather than in a page fault.
bool EncodeMapped(int fd, const InputBytes& input, size_t textSize) {
    if (::fallocate(fd, 0, 0, static_cast<off_t>(textSize)) != 0)
        return false;
    void* mapped = ::mmap(nullptr, textSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED)
        return false;
    ::madvise(mapped, textSize, MADV_HUGEPAGE);
    char* text = static_cast<char*>(mapped);
    const size_t whole = input.size - input.size % 3;
    EncodeGroups(input.bytes, whole, text);
    if (whole < input.size)
        EncodeTail(input.bytes + whole, input.size - whole, text + whole / 3 * 4);
    ::munmap(mapped, textSize);
    return true;
}

// The text through write calls, a cache-sized block at a time, for outputs that cannot be
// mapped or allocated ahead.
bool EncodeWritten(int fd, const InputBytes& input) {
    constexpr size_t kBlockIn = 3 * 65536;
    std::unique_ptr<char[]> block(new char[kBlockIn / 3 * 4]);
    const size_t whole = input.size - input.size % 3;
    off_t at = 0;
    for (size_t done = 0; done < whole;) {
        const size_t take = whole - done < kBlockIn ? whole - done : kBlockIn;
        EncodeGroups(input.bytes + done, take, block.get());
        if (!WriteAllAt(fd, block.get(), take / 3 * 4, at))
            return false;
        at += static_cast<off_t>(take / 3 * 4);
        done += take;
    }
    if (whole == input.size)
        return true;
    EncodeTail(input.bytes + whole, input.size - whole, block.get());
    return WriteAllAt(fd, block.get(), 4, at);
}

int Encode(const char* inPath, const char* outPath) {
    InputBytes input;
    if (!input.Open(inPath))
        return 0;
    Fd out(CreateOutput(outPath));
    if (out.get() < 0)
        return 0;
    // Mapping pays for itself only on large texts; a reply's image takes a few write calls.
    constexpr size_t kMapFrom = size_t{1} << 20;
    const size_t textSize = (input.size + 2) / 3 * 4;
    const bool mapped = textSize >= kMapFrom && EncodeMapped(out.get(), input, textSize);
    if (textSize > 0 && !mapped && !EncodeWritten(out.get(), input))
        return 0;
    return out.Close() ? 1 : 0;
}

int Decode(const char* inPath, const char* outPath) {
    Buffer text;
    if (!ReadWholeFile(inPath, text))
        return 0;
    unsigned char* chars = text.bytes.get();
    size_t length = 0;
    for (size_t i = 0; i < text.size; ++i)
        if (chars[i] != '\n' && chars[i] != '\r')
            chars[length++] = chars[i];
    Fd out(CreateOutput(outPath));
    if (out.get() < 0)
        return 0;

    const size_t groups = (length + 3) / 4;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[groups * 3 + 1]);
    size_t written = 0;
    for (size_t g = 0; g < groups; ++g) {
        const unsigned char* c = chars + 4 * g;
        const size_t have = g + 1 < groups ? 4 : length - 4 * g;
        // A short last group counts its missing characters as "=".
        unsigned char v[4] = {0, 0, 0, 0};
        int pads = 4 - static_cast<int>(have);
        for (size_t k = 0; k < have; ++k) {
            v[k] = kValues[c[k]];
            pads += c[k] == '=' ? 1 : 0;
        }
        const unsigned char decoded[3] = {static_cast<unsigned char>((v[0] << 2) | (v[1] >> 4)),
                                          static_cast<unsigned char>((v[1] << 4) | (v[2] >> 2)),
                                          static_cast<unsigned char>((v[2] << 6) | v[3])};
        const int keep = g + 1 < groups ? 3 : (pads >= 3 ? 0 : 3 - pads);
        std::memcpy(bytes.get() + written, decoded, static_cast<size_t>(keep));
        written += static_cast<size_t>(keep);
    }
    if (!WriteAllAt(out.get(), bytes.get(), written, 0))
        return 0;
    return out.Close() ? 1 : 0;
}

} // namespace

extern "C" int b64encode(const char* inPath, const char* outPath) {
    try {
        return inPath && outPath ? Encode(inPath, outPath) : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" int b64decode(const char* inPath, const char* outPath) {
    try {
        return inPath && outPath ? Decode(inPath, outPath) : 0;
    } catch (...) {
        return 0;
    }
}
