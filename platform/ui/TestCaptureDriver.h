#pragma once
// A capture driver that needs no camera: a moving test picture (colour bars scrolling a few
// pixels per frame, or a gradient) or one of the scenes of a room (TestScenes.h) at one of a
// few fixed sizes, with a brightness, a mirror, a pattern and a scene control. The tests use
// it, and the demonstration build lists it after the real devices.
#include "platform/ui/CaptureDriver.h"
#include "platform/ui/TestScenes.h"

constexpr std::uint32_t TestControlBrightness = 1; // 0 to 255, 128 leaves the picture as is
constexpr std::uint32_t TestControlMirror = 2;     // 1 mirrors left and right
constexpr std::uint32_t TestControlPattern = 3;    // 0 colour bars, 1 gradient
constexpr std::uint32_t TestControlScene = 4;      // a TestScene; 0 shows the pattern

struct TestPictureSettings {
    int brightness = 128;
    bool mirror = false;
    int pattern = 0;
    int scene = TestScenePattern;
};

// Frame frameNumber of the test picture at size (RGB888).
QImage TestCapturePicture(const QSize& size, int frameNumber, const TestPictureSettings& settings);

class TestCaptureDriver : public CaptureDriver {
  public:
    // sizes: the frame sizes offered, the first streamed until another is chosen.
    explicit TestCaptureDriver(QByteArray description, QByteArray version = "1.0",
                               std::vector<QSize> sizes = {{320, 240}, {640, 480}, {160, 120}});

    QByteArray Description() const override { return description; }
    QByteArray Version() const override { return version; }
    std::unique_ptr<CaptureStream> Open() override;

    // The device state that its streams share and that outlives them, like a camera's.
    struct Device {
        std::vector<QSize> sizes;
        QSize size;
        TestPictureSettings settings;
        bool busy = false;      // opening fails
        bool unplugged = false; // open streams lose the device, and opening fails
        int nextFrame = 0;
        int lastFrame = -1; // the number of the frame delivered last
    };
    Device& State() { return *device; }

  private:
    QByteArray description;
    QByteArray version;
    std::shared_ptr<Device> device;
};
