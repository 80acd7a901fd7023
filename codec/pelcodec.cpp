#include "pelcodec.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <memory>
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
        const ssize_t got = ::read(in.get(), retBuffer.bytes.get() + retBuffer.size,
                                   capacity - retBuffer.size);
        if (got == 0)
            return true;
        if (got < 0)
            return false;
        retBuffer.size += static_cast<size_t>(got);
    }
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd, bytes, size);
        if (put <= 0)
            return false;
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

int CreateOutput(const char* path) {
    return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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

int Encode(const char* inPath, const char* outPath) {
    Buffer input;
    if (!ReadWholeFile(inPath, input))
        return 0;
    Fd out(CreateOutput(outPath));
    if (out.get() < 0)
        return 0;
    // The text goes out in blocks small enough to stay in the cache.
    constexpr size_t kBlockIn = 3 * 65536;
    std::unique_ptr<char[]> block(new char[kBlockIn / 3 * 4]);
    const unsigned char* in = input.bytes.get();
    size_t left = input.size;
    while (left >= 3) {
        const size_t take = left < kBlockIn ? left - left % 3 : kBlockIn;
        char* o = block.get();
        for (const unsigned char* end = in + take; in != end; in += 3, o += 4) {
            const unsigned v = (unsigned{in[0]} << 16) | (unsigned{in[1]} << 8) | in[2];
            std::memcpy(o, kPairs[v >> 12].data(), 2);
            std::memcpy(o + 2, kPairs[v & 0xFFF].data(), 2);
        }
        if (!WriteAll(out.get(), block.get(), take / 3 * 4))
            return 0;
        left -= take;
    }
    if (left > 0) {
        EncodeTail(in, left, block.get());
        if (!WriteAll(out.get(), block.get(), 4))
            return 0;
    }
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
        const unsigned char decoded[3] = {
            static_cast<unsigned char>((v[0] << 2) | (v[1] >> 4)),
            static_cast<unsigned char>((v[1] << 4) | (v[2] >> 2)),
            static_cast<unsigned char>((v[2] << 6) | v[3])};
        const int keep = g + 1 < groups ? 3 : (pads >= 3 ? 0 : 3 - pads);
        std::memcpy(bytes.get() + written, decoded, static_cast<size_t>(keep));
        written += static_cast<size_t>(keep);
    }
    if (!WriteAll(out.get(), bytes.get(), written))
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
