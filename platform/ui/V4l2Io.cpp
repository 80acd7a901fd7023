#include "platform/ui/V4l2Io.h"

#include <cerrno>
#include <libv4l2.h>
#include <optional>
#include <sys/mman.h>

namespace {

V4l2Io LibV4l2() {
    V4l2Io io;
    io.open = [](const char* path, int flags) { return v4l2_open(path, flags); };
    io.close = [](int fd) { return v4l2_close(fd); };
    io.ioctl = [](int fd, unsigned long request, void* arg) {
        return v4l2_ioctl(fd, request, arg);
    };
    io.mmap = [](std::size_t length, int fd, std::int64_t offset) {
        return v4l2_mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
    };
    io.munmap = [](void* start, std::size_t length) { return v4l2_munmap(start, length); };
    return io;
}

std::optional<V4l2Io>& Replacement() {
    static std::optional<V4l2Io> io;
    return io;
}

} // namespace

const V4l2Io& CurrentV4l2Io() {
    static const V4l2Io real = LibV4l2();
    return Replacement() ? *Replacement() : real;
}

void SetV4l2IoForTest(const V4l2Io* io) {
    Replacement() = io ? std::optional<V4l2Io>(*io) : std::nullopt;
}

int V4l2Ioctl(int fd, unsigned long request, void* arg) {
    int result;
    do
        result = CurrentV4l2Io().ioctl(fd, request, arg);
    while (result == -1 && errno == EINTR);
    return result;
}
