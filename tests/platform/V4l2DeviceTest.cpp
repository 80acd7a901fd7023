// The V4L2 code against a scripted device: no camera is needed, and the device can do what
// real ones do (padded rows, emulated formats, disabled controls, being unplugged).
#include "platform/CodePage.h"
#include "platform/ui/CaptureDrivers.h"
#include "tests/support/FakeClock.h"
#include "tests/support/camera/ScriptedV4l2Device.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace {

constexpr std::uint32_t Streaming = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;

class V4l2DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override { ScanCaptureDrivers(); }

    ScriptedV4l2Device device{{{0, {Streaming, "Cam 0"}},
                               {1, {V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING, "Cam 0 metadata"}},
                               {3, {Streaming, "カメラ", "usb-2"}},
                               {4, {V4L2_CAP_VIDEO_CAPTURE, "read() only"}}}};
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
            EXPECT_EQ(frame.constScanLine(y)[k], ScriptedV4l2Device::Byte(2, y, k))
                << y << " " << k;
    FakeClock clock;
    clock.After(40, [&] { device.ready = 1; });
    EXPECT_TRUE(stream->ReadFrame(500, frame)); // waits for the next
    EXPECT_EQ(clock.ElapsedMs(), 40);
    EXPECT_EQ(frame.constScanLine(0)[0], ScriptedV4l2Device::Byte(3, 0, 0));

    device.Unplug(0);
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

TEST_F(V4l2DeviceTest, DecodeErrorsCostAFrameAndAPulledCableReleasesTheDevice) {
    FakeClock clock;
    std::unique_ptr<CaptureStream> stream = CaptureDriverAt(0)->Open();
    ASSERT_NE(stream, nullptr);
    QImage frame;
    // libv4l2 answers EIO for a frame it cannot decode; the stream waits on for the next.
    device.ready = 1;
    device.dequeueErrors = {EIO};
    clock.After(30, [&] { device.ready = 1; });
    ASSERT_TRUE(stream->ReadFrame(2000, frame));
    EXPECT_EQ(clock.ElapsedMs(), 30);
    EXPECT_EQ(frame.constScanLine(0)[0], ScriptedV4l2Device::Byte(0, 0, 0));
    EXPECT_FALSE(stream->Lost());

    // Errors without end make the stream give up as lost, long before the wait is over.
    device.dequeueErrors.assign(1000, EIO);
    EXPECT_FALSE(stream->ReadFrame(2000, frame));
    EXPECT_TRUE(stream->Lost());
    EXPECT_LT(clock.ElapsedMs(), 30 + 2000);
    EXPECT_EQ(device.openFds, 0);

    // A pulled cable loses the device at once, and the node is let go at once, so that the
    // camera can come back at its own number.
    device.dequeueErrors.clear();
    stream = CaptureDriverAt(0)->Open();
    ASSERT_NE(stream, nullptr);
    device.Unplug(0);
    device.ready = 1;
    EXPECT_FALSE(stream->ReadFrame(2000, frame));
    EXPECT_TRUE(stream->Lost());
    EXPECT_EQ(device.openFds, 0);
    EXPECT_EQ(device.mapped, 0);
}

TEST_F(V4l2DeviceTest, IndexesKeepTheirCamerasWhileCamerasComeAndGo) {
    // Listed at set-up: index 0 is "Cam 0" at node 0, index 1 "カメラ" at node 3.
    const int opensWhenListed = device.opens;
    device.Unplug(0);
    device.Plug(2, {Streaming, "Cam C", "usb-3"});
    char name[80];
    char version[80];
    ASSERT_TRUE(capGetDriverDescriptionA(0, name, 80, version, 80));
    EXPECT_STREQ(name, "Cam 0");
    ASSERT_TRUE(capGetDriverDescriptionA(1, name, 80, version, 80));
    EXPECT_EQ(QByteArray(name), ToCodePage932(QStringLiteral("カメラ")));
    EXPECT_FALSE(capGetDriverDescriptionA(2, name, 80, version, 80));
    EXPECT_EQ(device.opens, opensWhenListed); // the list is read, not taken again

    // The index of the unplugged camera opens no other camera.
    EXPECT_EQ(CaptureDriverAt(0)->Open(), nullptr);
    std::unique_ptr<CaptureStream> stream = CaptureDriverAt(1)->Open();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(device.lastOpenedNode, 3);
    stream.reset();

    // Plugged in again, the camera is found at its new node, even when another camera now
    // holds its old one.
    device.Unplug(2);
    device.Plug(0, {Streaming, "Cam C", "usb-3"});
    device.Plug(5, {Streaming, "Cam 0"});
    stream = CaptureDriverAt(0)->Open();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(device.lastOpenedNode, 5);
    stream.reset();

    // A new list takes the cameras as they are now.
    ScanCaptureDrivers();
    QList<QByteArray> listed;
    for (UINT index = 0; capGetDriverDescriptionA(index, name, 80, version, 80); ++index)
        listed.append(name);
    EXPECT_EQ(listed,
              QList<QByteArray>({"Cam C", ToCodePage932(QStringLiteral("カメラ")), "Cam 0"}));
    EXPECT_EQ(device.openFds, 0);
}
