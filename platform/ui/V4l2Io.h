#pragma once
// The system calls of the V4L2 code, through libv4l2 (which converts the camera's own pixel
// format to RGB24). Tests put a scripted device in their place.
#include <cstddef>
#include <cstdint>
#include <functional>

struct V4l2Io {
    std::function<int(const char* path, int flags)> open;
    std::function<int(int fd)> close;
    // Answers -1 with errno set on failure, like ioctl(2).
    std::function<int(int fd, unsigned long request, void* arg)> ioctl;
    // Maps a buffer for reading and writing; MAP_FAILED on failure.
    std::function<void*(std::size_t length, int fd, std::int64_t offset)> mmap;
    std::function<int(void* start, std::size_t length)> munmap;
};

const V4l2Io& CurrentV4l2Io();

// nullptr goes back to libv4l2.
void SetV4l2IoForTest(const V4l2Io* io);

// ioctl, repeated while it is interrupted by a signal.
int V4l2Ioctl(int fd, unsigned long request, void* arg);
