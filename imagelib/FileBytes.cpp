#include "FileBytes.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

bool ReadFileBytes(const char* path, Bytes& retBytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return false;
    retBytes.clear();
    // Room for a regular file's bytes at once, so that they are not copied again as they come.
    struct stat info {};
    if (::fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode))
        retBytes.reserve(size_t(info.st_size));
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        retBytes.insert(retBytes.end(), chunk, chunk + got);
    return !std::ferror(file.get());
}

bool WriteFileBytes(const char* path, const Bytes& bytes) {
    // A new file rather than a truncated one, which the file system would write out first;
    // anything that is not a regular file (a device, a pipe) is written as it is, never removed.
    struct stat info {};
    if (::stat(path, &info) == 0 && S_ISREG(info.st_mode))
        std::remove(path);
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
