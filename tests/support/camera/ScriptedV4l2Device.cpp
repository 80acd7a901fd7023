#include "tests/support/camera/ScriptedV4l2Device.h"

#include "platform/ui/V4l2Io.h"

#include <cerrno>
#include <cstring>
#include <linux/videodev2.h>
#include <sys/mman.h>

namespace {

constexpr std::uint32_t RowPadding = 4;

int Fail(int error) {
    errno = error;
    return -1;
}

void CopyText(const QByteArray& text, __u8* field, std::size_t size) {
    std::strncpy(reinterpret_cast<char*>(field), text.constData(), size - 1);
}

} // namespace

ScriptedV4l2Device::ScriptedV4l2Device(std::map<int, ScriptedNode> nodes)
    : nodes(std::move(nodes)) {
    V4l2Io io;
    io.open = [this](const char* path, int) {
        const int node = std::atoi(path + std::strlen("/dev/video"));
        if (!this->nodes.count(node))
            return Fail(ENOENT);
        ++openFds;
        ++opens;
        lastOpenedNode = node;
        fds[nextFd] = {node, false};
        return nextFd++;
    };
    io.close = [this](int fd) {
        --openFds;
        fds.erase(fd);
        return 0;
    };
    io.ioctl = [this](int fd, unsigned long request, void* arg) { return Ioctl(fd, request, arg); };
    io.mmap = [this](std::size_t length, int, std::int64_t offset) -> void* {
        std::vector<std::uint8_t>& bytes = memory.at(static_cast<std::size_t>(offset / 0x10000));
        if (length != bytes.size())
            return MAP_FAILED;
        ++mapped;
        return bytes.data();
    };
    io.munmap = [this](void*, std::size_t) { return --mapped, 0; };
    SetV4l2IoForTest(&io);
}

ScriptedV4l2Device::~ScriptedV4l2Device() {
    SetV4l2IoForTest(nullptr);
}

std::uint8_t ScriptedV4l2Device::Byte(int frame, int y, std::size_t column) {
    return static_cast<std::uint8_t>(frame * 7 + y * 3 + static_cast<int>(column));
}

void ScriptedV4l2Device::Unplug(int node) {
    nodes.erase(node);
    for (auto& [fd, descriptor] : fds) {
        if (descriptor.node != node)
            continue;
        descriptor.gone = true;
        // The buffers went with the device; a camera plugged in later has its own.
        memory.clear();
        queued.clear();
    }
}

void ScriptedV4l2Device::Plug(int node, ScriptedNode info) {
    nodes[node] = std::move(info);
    size = QSize(320, 240);
}

int ScriptedV4l2Device::Dequeue(void* arg) {
    ++dequeueCalls;
    if (!dequeueErrors.empty()) {
        const int error = dequeueErrors.front();
        dequeueErrors.pop_front();
        if (ready > 0)
            --ready;
        return Fail(error);
    }
    if (ready == 0 || queued.empty())
        return Fail(EAGAIN);
    --ready;
    auto* buffer = static_cast<v4l2_buffer*>(arg);
    buffer->index = queued.front();
    queued.pop_front();
    std::vector<std::uint8_t>& bytes = memory.at(buffer->index);
    for (int y = 0; y < size.height(); ++y)
        for (std::size_t k = 0; k < bytesPerLine; ++k)
            bytes[y * bytesPerLine + k] =
                k < bytesPerLine - RowPadding ? Byte(frameNumber, y, k) : 0xEE;
    ++frameNumber;
    buffer->bytesused = static_cast<std::uint32_t>(bytes.size());
    return 0;
}

int ScriptedV4l2Device::Ioctl(int fd, unsigned long request, void* arg) {
    const auto open = fds.find(fd);
    if (open == fds.end())
        return Fail(EBADF);
    if (open->second.gone)
        return Fail(ENODEV);
    const ScriptedNode& node = nodes.at(open->second.node);
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto* caps = static_cast<v4l2_capability*>(arg);
        CopyText(node.card, caps->card, sizeof(caps->card));
        CopyText(node.bus, caps->bus_info, sizeof(caps->bus_info));
        caps->version = 0x060107;
        caps->capabilities = node.caps | V4L2_CAP_DEVICE_CAPS;
        caps->device_caps = node.caps;
        return 0;
    }
    case VIDIOC_G_FMT:
    case VIDIOC_S_FMT: {
        auto& pix = static_cast<v4l2_format*>(arg)->fmt.pix;
        if (request == VIDIOC_S_FMT && !memory.empty())
            return Fail(EBUSY);
        if (request == VIDIOC_S_FMT && pix.pixelformat == V4L2_PIX_FMT_RGB24)
            size = QSize(static_cast<int>(pix.width), static_cast<int>(pix.height));
        pix.width = static_cast<std::uint32_t>(size.width());
        pix.height = static_cast<std::uint32_t>(size.height());
        pix.pixelformat = request == VIDIOC_S_FMT ? pix.pixelformat : V4L2_PIX_FMT_YUYV;
        bytesPerLine = pix.width * 3 + RowPadding;
        pix.bytesperline = bytesPerLine;
        return 0;
    }
    case VIDIOC_REQBUFS: {
        auto* buffers = static_cast<v4l2_requestbuffers*>(arg);
        if (mapped > 0 && buffers->count > 0)
            return Fail(EBUSY);
        buffers->count = std::min(buffers->count, 2u);
        memory.assign(buffers->count, std::vector<std::uint8_t>(bytesPerLine * size.height()));
        queued.clear();
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* buffer = static_cast<v4l2_buffer*>(arg);
        buffer->length = static_cast<std::uint32_t>(memory.at(buffer->index).size());
        buffer->m.offset = buffer->index * 0x10000;
        return 0;
    }
    case VIDIOC_QBUF:
        queued.push_back(static_cast<v4l2_buffer*>(arg)->index);
        return 0;
    case VIDIOC_DQBUF:
        return Dequeue(arg);
    case VIDIOC_STREAMON:
    case VIDIOC_STREAMOFF:
        return 0;
    case VIDIOC_ENUM_FMT: {
        auto* format = static_cast<v4l2_fmtdesc*>(arg);
        const std::uint32_t formats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_RGB24};
        if (format->index >= 3)
            return Fail(EINVAL);
        format->pixelformat = formats[format->index];
        format->flags = format->index == 2 ? V4L2_FMT_FLAG_EMULATED : 0;
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* entry = static_cast<v4l2_frmsizeenum*>(arg);
        if (entry->pixel_format == V4L2_PIX_FMT_YUYV && entry->index < 2) {
            entry->type = V4L2_FRMSIZE_TYPE_DISCRETE;
            entry->discrete = entry->index == 0 ? v4l2_frmsize_discrete{640, 480}
                                                : v4l2_frmsize_discrete{320, 240};
            return 0;
        }
        if (entry->pixel_format == V4L2_PIX_FMT_MJPEG && entry->index == 0) {
            entry->type = V4L2_FRMSIZE_TYPE_STEPWISE;
            entry->stepwise = {160, 800, 16, 120, 600, 8};
            return 0;
        }
        return Fail(EINVAL);
    }
    case VIDIOC_QUERYCTRL: {
        auto* query = static_cast<v4l2_queryctrl*>(arg);
        const std::uint32_t after = query->id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
        *query = v4l2_queryctrl{};
        if (after < V4L2_CID_BRIGHTNESS) {
            query->id = V4L2_CID_BRIGHTNESS;
            query->type = V4L2_CTRL_TYPE_INTEGER;
            std::strcpy(reinterpret_cast<char*>(query->name), "Brightness");
            query->maximum = 100;
            query->step = 1;
        } else if (after < V4L2_CID_CONTRAST) {
            query->id = V4L2_CID_CONTRAST;
            query->type = V4L2_CTRL_TYPE_INTEGER;
            query->flags = V4L2_CTRL_FLAG_DISABLED;
        } else if (after < V4L2_CID_HFLIP) {
            query->id = V4L2_CID_HFLIP;
            query->type = V4L2_CTRL_TYPE_BOOLEAN;
            std::strcpy(reinterpret_cast<char*>(query->name), "Horizontal Flip");
            query->maximum = 1;
        } else {
            return Fail(EINVAL);
        }
        return 0;
    }
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
        auto* control = static_cast<v4l2_control*>(arg);
        if (control->id != V4L2_CID_BRIGHTNESS)
            control->value = 0;
        else if (request == VIDIOC_G_CTRL)
            control->value = brightness;
        else
            brightness = control->value;
        return 0;
    }
    default:
        return Fail(ENOTTY);
    }
}
