#include "platform/ui/V4l2Stream.h"

#include "platform/Clock.h"
#include "platform/ui/V4l2Io.h"
#include "platform/ui/V4l2Settings.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/mman.h>

namespace {

constexpr unsigned BufferCount = 4;
// How often a frame wait looks for a frame.
constexpr int FrameWaitStepMs = 5;
// Failed dequeues in a row after which a device that never says it is gone counts as lost.
constexpr int MaxErrorRun = 10;

// The errors of a device that is gone (unplugged); other errors may pass.
bool DeviceGone(int error) {
    return error == ENODEV || error == ENXIO || error == ESHUTDOWN;
}

struct MappedBuffer {
    void* start;
    std::size_t length;
};

class V4l2Stream : public CaptureStream {
  public:
    explicit V4l2Stream(int fd) : fd(fd) {}
    ~V4l2Stream() override { Release(); }
    V4l2Stream(const V4l2Stream&) = delete;
    V4l2Stream& operator=(const V4l2Stream&) = delete;

    // Sets RGB24 at size (the driver may pick the nearest it has), maps the buffers, queues
    // them and starts streaming.
    bool Start(const QSize& wanted) {
        v4l2_format format{};
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (V4l2Ioctl(fd, VIDIOC_G_FMT, &format) != 0)
            return false;
        if (wanted.isValid()) {
            format.fmt.pix.width = static_cast<std::uint32_t>(wanted.width());
            format.fmt.pix.height = static_cast<std::uint32_t>(wanted.height());
        }
        format.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
        format.fmt.pix.field = V4L2_FIELD_ANY;
        format.fmt.pix.bytesperline = 0;
        if (V4l2Ioctl(fd, VIDIOC_S_FMT, &format) != 0 ||
            format.fmt.pix.pixelformat != V4L2_PIX_FMT_RGB24 || format.fmt.pix.width == 0 ||
            format.fmt.pix.height == 0)
            return false;
        size =
            QSize(static_cast<int>(format.fmt.pix.width), static_cast<int>(format.fmt.pix.height));
        bytesPerLine = std::max<std::size_t>(format.fmt.pix.bytesperline,
                                             static_cast<std::size_t>(size.width()) * 3);

        v4l2_requestbuffers request{};
        request.count = BufferCount;
        request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        request.memory = V4L2_MEMORY_MMAP;
        if (V4l2Ioctl(fd, VIDIOC_REQBUFS, &request) != 0 || request.count == 0)
            return false;
        requested = true;
        for (unsigned index = 0; index < request.count; ++index) {
            v4l2_buffer buffer = Buffer(index);
            if (V4l2Ioctl(fd, VIDIOC_QUERYBUF, &buffer) != 0)
                return false;
            void* start = CurrentV4l2Io().mmap(buffer.length, fd, buffer.m.offset);
            if (start == MAP_FAILED)
                return false;
            buffers.push_back({start, buffer.length});
            if (V4l2Ioctl(fd, VIDIOC_QBUF, &buffer) != 0)
                return false;
        }
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        streaming = V4l2Ioctl(fd, VIDIOC_STREAMON, &type) == 0;
        return streaming;
    }

    QSize Size() const override { return size; }

    // Takes what the driver holds, then waits in short sleeps on the steady clock until a
    // frame comes or waitMs have passed.
    bool ReadFrame(int waitMs, QImage& retFrame) override {
        const double start = SteadySeconds();
        for (;;) {
            bool fresh = false;
            if (!DequeueAll(retFrame, fresh))
                return false;
            if (fresh)
                return true;
            const auto waitedMs = static_cast<int>(std::lround((SteadySeconds() - start) * 1000));
            if (waitedMs >= waitMs)
                return false;
            SteadySleep(std::min(FrameWaitStepMs, waitMs - waitedMs));
        }
    }

    bool Lost() const override { return lost; }

    std::vector<CaptureFrameSize> FrameSizes() const override {
        return lost ? std::vector<CaptureFrameSize>() : V4l2FrameSizes(fd);
    }

    bool SetSize(const QSize& wanted) override {
        if (lost)
            return false;
        const QSize before = size;
        Stop();
        if (Start(wanted) && size == wanted)
            return true;
        Stop();
        if (!Start(before))
            Lose();
        return false;
    }

    std::vector<CaptureControl> Controls() const override {
        return lost ? std::vector<CaptureControl>() : V4l2Controls(fd);
    }

    bool SetControl(std::uint32_t id, int value) override {
        return !lost && V4l2SetControl(fd, id, value);
    }

  private:
    static v4l2_buffer Buffer(unsigned index) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = index;
        return buffer;
    }

    // Copies a dequeued buffer into frame; false for a short or damaged one.
    bool TakeFrame(const v4l2_buffer& buffer, QImage& frame) const {
        const std::size_t rowBytes = static_cast<std::size_t>(size.width()) * 3;
        const std::size_t needed =
            bytesPerLine * static_cast<std::size_t>(size.height() - 1) + rowBytes;
        if (buffer.index >= buffers.size() || (buffer.flags & V4L2_BUF_FLAG_ERROR) ||
            buffer.bytesused < needed || buffers[buffer.index].length < needed)
            return false;
        QImage image(size, QImage::Format_RGB888);
        const auto* source = static_cast<const uchar*>(buffers[buffer.index].start);
        for (int y = 0; y < size.height(); ++y)
            std::memcpy(image.scanLine(y), source + bytesPerLine * static_cast<std::size_t>(y),
                        rowBytes);
        frame = image;
        return true;
    }

    // Dequeues every frame the driver holds, keeping the newest in frame (retFresh when there
    // was one); false once the device is lost.
    bool DequeueAll(QImage& frame, bool& retFresh) {
        if (lost)
            return false;
        for (std::size_t round = 0; round <= buffers.size(); ++round) {
            v4l2_buffer buffer = Buffer(0);
            if (V4l2Ioctl(fd, VIDIOC_DQBUF, &buffer) != 0) {
                const int error = errno;
                if (error == EAGAIN)
                    return true;
                // libv4l2 answers EIO for a frame it cannot decode, and has queued its buffer
                // again; the next frame may well be good.
                if (DeviceGone(error) || ++errorRun >= MaxErrorRun)
                    return Lose();
                continue;
            }
            errorRun = 0;
            retFresh = TakeFrame(buffer, frame) || retFresh;
            if (V4l2Ioctl(fd, VIDIOC_QBUF, &buffer) != 0)
                return Lose();
        }
        return true;
    }

    // A lost device is let go at once, so that the kernel frees its node for the camera to
    // come back to when it is plugged in again.
    bool Lose() {
        lost = true;
        Release();
        return false;
    }

    void Release() {
        Stop();
        if (fd >= 0)
            CurrentV4l2Io().close(fd);
        fd = -1;
    }

    void Stop() {
        const V4l2Io& io = CurrentV4l2Io();
        if (streaming) {
            v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            V4l2Ioctl(fd, VIDIOC_STREAMOFF, &type);
            streaming = false;
        }
        for (const MappedBuffer& buffer : buffers)
            io.munmap(buffer.start, buffer.length);
        buffers.clear();
        if (requested) {
            v4l2_requestbuffers release{};
            release.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            release.memory = V4L2_MEMORY_MMAP;
            V4l2Ioctl(fd, VIDIOC_REQBUFS, &release);
            requested = false;
        }
    }

    int fd;
    QSize size;
    std::size_t bytesPerLine = 0;
    std::vector<MappedBuffer> buffers;
    bool requested = false;
    bool streaming = false;
    bool lost = false;
    int errorRun = 0; // failed dequeues in a row
};

} // namespace

std::unique_ptr<CaptureStream> OpenV4l2Stream(const QByteArray& path) {
    const int fd = CurrentV4l2Io().open(path.constData(), O_RDWR | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    auto stream = std::make_unique<V4l2Stream>(fd);
    if (!stream->Start(QSize()))
        return nullptr;
    return stream;
}
