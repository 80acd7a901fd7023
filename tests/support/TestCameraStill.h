#pragma once
// The test camera as the mail check's camera, without the main window: the test capture
// driver at 640 x 480 in a capture window of its own, its frame written as each reply's still.
// For the programs that link capture/ and mailcheck/; undone when the object goes.
#include "capture/modCapture.h"
#include "mailcheck/modMailCheck.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TestCaptureDriver.h"

class TestCameraStill {
  public:
    TestCameraStill() {
        SetCaptureDriversForTest({std::make_shared<TestCaptureDriver>(
            "test camera", "1.0", std::vector<QSize>{{640, 480}})});
        host.resize(640, 480);
        running = CreateCapture(0, &host, 60);
        SetStillCapture([this](const QString& path) { CaptureToFile(path, &still); });
    }
    ~TestCameraStill() {
        SetStillCapture({});
        DestroyCapture();
        SetCaptureDriversForTest({});
    }
    TestCameraStill(const TestCameraStill&) = delete;
    TestCameraStill& operator=(const TestCameraStill&) = delete;

    // Whether the preview runs, so that stills can be taken.
    bool Running() const { return running; }

  private:
    PictureBox host, still;
    bool running = false;
};
