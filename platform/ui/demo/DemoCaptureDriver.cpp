// Linked into the demonstration build only: lists the test driver after the real devices, so
// that the program shows a live picture on a machine without a camera.
#include "platform/CodePage.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"

namespace {
const bool installed = [] {
    EnableTestCaptureDriver(
        std::make_shared<TestCaptureDriver>(ToCodePage932(QStringLiteral("テスト画像"))));
    return true;
}();
} // namespace
