#pragma once
// Scratch files for fuzz targets whose code under test reads and writes files by name: each
// name is an anonymous in-memory file of this process, reached through /proc/self/fd, so
// nothing touches the disk and nothing stays behind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/mman.h>

inline std::string FuzzPath(const char* name) {
    static std::map<std::string, std::string> paths;
    std::string& path = paths[name];
    if (path.empty()) {
        const int fd = memfd_create(name, 0);
        if (fd < 0)
            std::abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    return path;
}

// Writes the fuzz input to in.bin and answers its path.
inline std::string WriteFuzzInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzPath("in.bin");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    return path;
}

// The size of a file in bytes, -1 when it is missing.
inline long FuzzFileSize(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}
