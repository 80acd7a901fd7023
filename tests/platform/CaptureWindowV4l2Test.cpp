// The capture window on a V4L2 camera (the scripted device): a camera that has no frame yet,
// decode errors, a pulled cable and a camera plugged in again.
#include "platform/ui/CaptureClipboard.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/CaptureWindow.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/camera/ScriptedV4l2Device.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace {

constexpr std::uint32_t Streaming = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;

class CaptureWindowOnV4l2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        ScanCaptureDrivers();
        host.resize(400, 300);
        window =
            capCreateCaptureWindowA("0", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, HandleOf(&host), 0);
        ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
        QObject::connect(Window(), &CaptureWindow::DeviceReopened, [this] { ++reopened; });
    }
    void TearDown() override {
        DestroyWindow(window);
        EmptyClipboard();
    }
    CaptureWindow* Window() const { return qobject_cast<CaptureWindow*>(WidgetOf(window)); }
    DWORD FramesShown() const {
        CAPSTATUS status{};
        SendMessageA(window, WM_CAP_GET_STATUS, sizeof(status), reinterpret_cast<LPARAM>(&status));
        return status.dwCurrentVideoFrame;
    }
    // True when image is frame number frame of the device, without the row padding.
    static bool IsFrame(const QImage& image, int frame, const QSize& size) {
        if (image.size() != size)
            return false;
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        for (int y : {0, size.height() / 2, size.height() - 1})
            for (std::size_t k :
                 {std::size_t{0}, std::size_t{1}, std::size_t(size.width()) * 3 - 1})
                if (rgb.constScanLine(y)[k] != ScriptedV4l2Device::Byte(frame, y, k))
                    return false;
        return true;
    }

    ScriptedV4l2Device device{{{0, {Streaming, "Cam 0"}}}};
    QWidget host;
    HWND window = 0;
    int reopened = 0;
};

} // namespace

TEST_F(CaptureWindowOnV4l2Test, AStillWaitsTwoSecondsAtMostForAFrame) {
    FakeClock clock;
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 0);
    EXPECT_EQ(clock.ElapsedMs(), 2000);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));

    // A frame that comes just before the bound is taken at the last look; one just after it
    // is not.
    clock.After(1999, [&] { device.ready = 1; });
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
    EXPECT_EQ(clock.ElapsedMs(), 2000 + 2000);
    EXPECT_TRUE(IsFrame(GetClipboardBitmap(), 0, {320, 240}));
    EmptyClipboard();
    clock.After(2001, [&] { device.ready = 1; });
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 0);
    EXPECT_EQ(clock.ElapsedMs(), 2000 + 2000 + 2000);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(CaptureWindowOnV4l2Test, ThePreviewWaitsForTheFirstFrameThenShowsIt) {
    Window()->resize(320, 240);
    SendMessageA(window, WM_CAP_SET_PREVIEWRATE, 5, 0);
    ASSERT_EQ(SendMessageA(window, WM_CAP_SET_PREVIEW, 1, 0), 1);
    // Ticks that find no frame show nothing and go on previewing.
    ASSERT_TRUE(PumpUntil([&] { return device.dequeueCalls >= 3; }));
    EXPECT_TRUE(Window()->Previewing());
    EXPECT_EQ(FramesShown(), 0u);

    device.ready = 1;
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() == 1; }));
    EXPECT_TRUE(IsFrame(Window()->grab().toImage(), 0, {320, 240}));
    EXPECT_TRUE(Window()->Previewing());
}

TEST_F(CaptureWindowOnV4l2Test, ADecodeErrorCostsOneFrameNotTheStream) {
    FakeClock clock;
    device.ready = 1;
    device.dequeueErrors = {EIO};
    clock.After(30, [&] { device.ready = 1; });
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
    EXPECT_TRUE(IsFrame(GetClipboardBitmap(), 0, {320, 240}));
    EXPECT_EQ(SendMessageA(window, WM_CAP_SET_PREVIEW, 1, 0), 1);
    EXPECT_EQ(reopened, 0);
}

TEST_F(CaptureWindowOnV4l2Test, AStillAfterAReplugOpensTheCameraAgain) {
    // Streaming at a size the user chose, not the camera's default.
    device.size = QSize(640, 480);
    ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
    SendMessageA(window, WM_CAP_SET_PREVIEWRATE, 5, 0);
    ASSERT_EQ(SendMessageA(window, WM_CAP_SET_PREVIEW, 1, 0), 1);

    device.Unplug(0);
    ASSERT_TRUE(PumpUntil([&] { return !Window()->Previewing(); }));
    EXPECT_EQ(device.openFds, 0); // the node is free for the camera to come back to
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 0); // still away
    EXPECT_EQ(reopened, 0);

    device.Plug(0, {Streaming, "Cam 0"});
    device.ready = 1;
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
    EXPECT_TRUE(IsFrame(GetClipboardBitmap(), 0, {640, 480}));
    EXPECT_EQ(reopened, 1);
    EXPECT_TRUE(Window()->Previewing());

    device.ready = 1;
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(device.openFds, 1);
}
