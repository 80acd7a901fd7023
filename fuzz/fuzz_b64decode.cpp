// b64decode on any text, and b64encode followed by b64decode giving the input back.
#include "FuzzFiles.h"
#include "pelcodec.h"

#include <cstring>
#include <vector>

namespace {
std::vector<uint8_t> ReadBack(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
    }
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = WriteFuzzInput(data, size);
    const std::string text = FuzzPath("text.asc");
    const std::string out = FuzzPath("out.bin");
    if (b64decode(in.c_str(), out.c_str()) != 1)
        std::abort();
    if (ReadBack(out).size() > size)
        std::abort();
    if (b64encode(in.c_str(), text.c_str()) != 1 || b64decode(text.c_str(), out.c_str()) != 1)
        std::abort();
    const std::vector<uint8_t> back = ReadBack(out);
    if (back.size() != size || (size > 0 && std::memcmp(back.data(), data, size) != 0))
        std::abort();
    return 0;
}
