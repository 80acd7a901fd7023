#pragma once
// Scratch files for fuzz targets whose code under test reads and writes files by name: each
// name is an anonymous in-memory file of this process, reached through /proc/self/fd, so
// nothing touches the disk and nothing stays behind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// A folder for code under test that writes beside a file and renames it into place, which an
// in-memory file cannot take: a fresh folder in memory-backed /dev/shm, removed with what it
// holds when the process ends normally (a crash leaves it for the crash to be looked at).
class FuzzScratchFolder {
  public:
    FuzzScratchFolder() {
        char name[] = "/dev/shm/vistrel-fuzz-XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        path = name;
    }
    ~FuzzScratchFolder() { std::filesystem::remove_all(path); }
    FuzzScratchFolder(const FuzzScratchFolder&) = delete;
    FuzzScratchFolder& operator=(const FuzzScratchFolder&) = delete;

    std::string path;
};

inline const std::string& FuzzFolder() {
    static const FuzzScratchFolder folder;
    return folder.path;
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
