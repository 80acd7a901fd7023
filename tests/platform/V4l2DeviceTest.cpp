// The V4L2 code against a scripted device: no camera is needed, and the device can do what
// real ones do (padded rows, emulated formats, disabled controls, being unplugged).
#include "platform/CodePage.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/V4l2Io.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <linux/videodev2.h>
#include <map>
#include <sys/mman.h>

namespace {

constexpr std::uint32_t RowPadding = 4;

struct FakeNode {
    std::uint32_t caps;
    const char* card;
};

struct FakeDevice {
    std::map<int, FakeNode> nodes; // by node number; missing numbers do not open
    QSize size{320, 240};
    std::uint32_t bytesPerLine = 0;
    std::vector<std::vector<uchar>> memory;
    std::deque<std::uint32_t> queued;
    int ready = 0; // frames waiting in the driver
    int frameNumber = 0;
    bool unplugged = false;
    int openFds = 0;
    int mapped = 0;
    int brightness = 50;

    static uchar Byte(int frame, int y, std::size_t column) {
        return static_cast<uchar>(frame * 7 + y * 3 + static_cast<int>(column));
    }

    int Fail(int error) {
        errno = error;
        return -1;
    }

    int Ioctl(int fd, unsigned long request, void* arg) {
        const FakeNode& node = nodes.at(fd - 100);
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto* caps = static_cast<v4l2_capability*>(arg);
            std::strncpy(reinterpret_cast<char*>(caps->card), node.card, sizeof(caps->card) - 1);
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
            auto* request = static_cast<v4l2_requestbuffers*>(arg);
            if (mapped > 0 && request->count > 0)
                return Fail(EBUSY);
            request->count = std::min(request->count, 2u);
            memory.assign(request->count, std::vector<uchar>(bytesPerLine * size.height()));
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
        case VIDIOC_DQBUF: {
            if (unplugged)
                return Fail(ENODEV);
            if (ready == 0 || queued.empty())
                return Fail(EAGAIN);
            --ready;
            auto* buffer = static_cast<v4l2_buffer*>(arg);
            buffer->index = queued.front();
            queued.pop_front();
            std::vector<uchar>& bytes = memory.at(buffer->index);
            for (int y = 0; y < size.height(); ++y)
                for (std::size_t k = 0; k < bytesPerLine; ++k)
                    bytes[y * bytesPerLine + k] =
                        k < bytesPerLine - RowPadding ? Byte(frameNumber, y, k) : 0xEE;
            ++frameNumber;
            buffer->bytesused = static_cast<std::uint32_t>(bytes.size());
            return 0;
        }
        case VIDIOC_STREAMON:
        case VIDIOC_STREAMOFF:
            return 0;
        case VIDIOC_ENUM_FMT: {
            auto* format = static_cast<v4l2_fmtdesc*>(arg);
            const std::uint32_t formats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG,
                                             V4L2_PIX_FMT_RGB24};
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

    V4l2Io Io() {
        V4l2Io io;
        io.open = [this](const char* path, int) {
            const int node = std::atoi(path + std::strlen("/dev/video"));
            if (!nodes.count(node))
                return Fail(ENOENT);
            ++openFds;
            return 100 + node;
        };
        io.close = [this](int) { return --openFds, 0; };
        io.ioctl = [this](int fd, unsigned long request, void* arg) {
            return Ioctl(fd, request, arg);
        };
        io.mmap = [this](std::size_t length, int, std::int64_t offset) -> void* {
            std::vector<uchar>& bytes = memory.at(static_cast<std::size_t>(offset / 0x10000));
            if (length != bytes.size())
                return MAP_FAILED;
            ++mapped;
            return bytes.data();
        };
        io.munmap = [this](void*, std::size_t) { return --mapped, 0; };
        io.waitReadable = [this](int, int) {
            ready += 1; // a frame arrives while we wait
            return true;
        };
        return io;
    }
};

class V4l2DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        device.nodes = {{0, {V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING, "Cam 0"}},
                        {1, {V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING, "Cam 0 metadata"}},
                        {3, {V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING, "カメラ"}},
                        {4, {V4L2_CAP_VIDEO_CAPTURE, "read() only"}}};
        const V4l2Io io = device.Io();
        SetV4l2IoForTest(&io);
    }
    void TearDown() override { SetV4l2IoForTest(nullptr); }

    FakeDevice device;
};

} // namespace

TEST_F(V4l2DeviceTest, ListsStreamingCaptureNodesInOrderWithCardAndVersion) {
    char name[80];
    char version[80];
    ASSERT_TRUE(capGetDriverDescriptionA(0, name, 80, version, 80));
    EXPECT_STREQ(name, "Cam 0");
    EXPECT_STREQ(version, "6.1.7");
    ASSERT_TRUE(capGetDriverDescriptionA(1, name, 80, version, 80));
    EXPECT_EQ(QByteArray(name), ToCodePage932(QStringLiteral("カメラ")));
    EXPECT_FALSE(capGetDriverDescriptionA(2, name, 80, version, 80));
    EXPECT_EQ(device.openFds, 0);
}

TEST_F(V4l2DeviceTest, StreamsTheNewestFrameWithoutTheRowPadding) {
    std::unique_ptr<CaptureStream> stream = CaptureDriverAt(0)->Open();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Size(), QSize(320, 240));
    EXPECT_EQ(device.mapped, 2);
    QImage frame;
    EXPECT_FALSE(stream->ReadFrame(0, frame)); // nothing has come yet
    device.ready = 3;
    ASSERT_TRUE(stream->ReadFrame(0, frame));
    EXPECT_EQ(device.ready, 0);
    ASSERT_EQ(frame.size(), QSize(320, 240));
    ASSERT_EQ(frame.format(), QImage::Format_RGB888);
    for (int y : {0, 1, 239})
        for (std::size_t k : {std::size_t{0}, std::size_t{959}})
            EXPECT_EQ(frame.constScanLine(y)[k], FakeDevice::Byte(2, y, k)) << y << " " << k;
    EXPECT_TRUE(stream->ReadFrame(500, frame)); // waits for the next
    EXPECT_EQ(frame.constScanLine(0)[0], FakeDevice::Byte(3, 0, 0));

    device.unplugged = true;
    EXPECT_FALSE(stream->ReadFrame(0, frame));
    EXPECT_TRUE(stream->Lost());
    EXPECT_FALSE(stream->SetSize({640, 480}));
    stream.reset();
    EXPECT_EQ(device.mapped, 0);
    EXPECT_EQ(device.openFds, 0);
}

TEST_F(V4l2DeviceTest, OffersTheDevicesOwnSizesAndWritableControls) {
    std::unique_ptr<CaptureStream> stream = CaptureDriverAt(0)->Open();
    ASSERT_NE(stream, nullptr);
    QStringList sizes;
    for (const CaptureFrameSize& entry : stream->FrameSizes())
        sizes.append(QStringLiteral("%1x%2 %3")
                         .arg(entry.size.width())
                         .arg(entry.size.height())
                         .arg(entry.pixelFormats.join(QLatin1Char(','))));
    EXPECT_EQ(sizes, QStringList({"160x120 MJPG", "176x144 MJPG", "320x240 YUYV,MJPG",
                                  "352x288 MJPG", "640x480 YUYV,MJPG", "800x600 MJPG"}));

    const std::vector<CaptureControl> controls = stream->Controls();
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0].name, QStringLiteral("Brightness"));
    EXPECT_EQ(controls[0].value, 50);
    EXPECT_EQ(controls[0].maximum, 100);
    EXPECT_EQ(controls[1].kind, CaptureControlKind::Boolean);
    EXPECT_TRUE(stream->SetControl(V4L2_CID_BRIGHTNESS, 70));
    EXPECT_EQ(device.brightness, 70);

    ASSERT_TRUE(stream->SetSize({640, 480}));
    EXPECT_EQ(stream->Size(), QSize(640, 480));
    EXPECT_EQ(device.mapped, 2);
    device.ready = 1;
    QImage frame;
    ASSERT_TRUE(stream->ReadFrame(0, frame));
    EXPECT_EQ(frame.size(), QSize(640, 480));
}
