#include "platform/ui/CaptureWindow.h"

#include "platform/ui/CaptureClipboard.h"
#include "platform/ui/CaptureDialog.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/CaptureFormatDialog.h"
#include "platform/ui/CaptureSourceDialog.h"

#include <QPainter>
#include <QTimer>

namespace {
// How long a still waits for the device's first frame after connecting.
constexpr int FirstFrameWaitMs = 2000;
constexpr int DefaultPreviewRateMs = 66;
} // namespace

HWND capCreateCaptureWindowA(const char* lpszWindowName, DWORD dwStyle, int x, int y, int nWidth,
                             int nHeight, HWND hwndParent, int) {
    QWidget* parent = nullptr;
    if (dwStyle & WS_CHILD) {
        parent = WidgetOf(hwndParent);
        if (!parent)
            return 0;
    }
    auto* window = new CaptureWindow(parent);
    window->setObjectName(QString::fromLocal8Bit(lpszWindowName ? lpszWindowName : ""));
    window->setGeometry(x, y, nWidth, nHeight);
    if (dwStyle & WS_VISIBLE)
        window->show();
    return HandleOf(window);
}

CaptureWindow::CaptureWindow(QWidget* parent) : QWidget(parent), previewTimer(new QTimer(this)) {
    previewTimer->setTimerType(Qt::PreciseTimer);
    previewTimer->setInterval(DefaultPreviewRateMs);
    connect(previewTimer, &QTimer::timeout, this, &CaptureWindow::PreviewTick);
}

CaptureWindow::~CaptureWindow() {
    // The driver dialogs go before the stream they write to.
    CloseCaptureDialogs(this);
}

bool CaptureWindow::DriverConnect(int index) {
    DriverDisconnect();
    std::shared_ptr<CaptureDriver> next = CaptureDriverAt(index);
    if (!next)
        return false;
    stream = next->Open();
    if (stream)
        driver = std::move(next);
    return stream != nullptr;
}

bool CaptureWindow::DriverDisconnect() {
    previewTimer->stop();
    previewOn = false;
    CloseCaptureDialogs(this);
    frame = QImage();
    update();
    driver = nullptr;
    return std::exchange(stream, nullptr) != nullptr;
}

bool CaptureWindow::EditCopy() {
    QImage still;
    if (!stream || (stream->Lost() && !Reopen()) || !stream->ReadFrame(FirstFrameWaitMs, still))
        return false;
    SetClipboardBitmap(still);
    return true;
}

// Opens the connected driver again after its device was lost (a camera unplugged and plugged
// in again), at the size it streamed before, and resumes the preview that the loss ended.
// False while the device is away.
bool CaptureWindow::Reopen() {
    std::unique_ptr<CaptureStream> next = driver->Open();
    if (!next)
        return false;
    // A camera plugged in again starts at its default size; the window has the old one.
    if (next->Size() != stream->Size())
        next->SetSize(stream->Size());
    CloseCaptureDialogs(this);
    stream = std::move(next);
    if (previewOn)
        previewTimer->start();
    emit DeviceReopened();
    emit StreamRestarted();
    return true;
}

bool CaptureWindow::SetPreview(bool on) {
    if (!Streaming())
        return false;
    previewOn = on;
    if (on)
        previewTimer->start();
    else
        previewTimer->stop();
    return true;
}

bool CaptureWindow::SetPreviewRate(int milliseconds) {
    if (!Streaming() || milliseconds < 0)
        return false;
    previewTimer->setInterval(milliseconds);
    return true;
}

bool CaptureWindow::SetScale(bool on) {
    if (!Streaming())
        return false;
    scale = on;
    update();
    return true;
}

bool CaptureWindow::VideoFormatDialog() {
    if (!Streaming() || !ShowVideoFormatDialog(this, *stream))
        return false;
    frame = QImage();
    update();
    emit StreamRestarted();
    return true;
}

bool CaptureWindow::VideoSourceDialog() {
    return Streaming() && ShowVideoSourceDialog(this, *stream);
}

bool CaptureWindow::Previewing() const {
    return previewTimer->isActive();
}

int CaptureWindow::PreviewRate() const {
    return previewTimer->interval();
}

void CaptureWindow::PreviewTick() {
    QImage next;
    if (stream->ReadFrame(0, next)) {
        frame = next;
        ++framesShown;
        update();
        emit FrameRead(frame);
    } else if (stream->Lost()) {
        // An unplugged camera ends the preview; the window stays and shows nothing.
        previewTimer->stop();
        frame = QImage();
        update();
    }
}

void CaptureWindow::paintEvent(QPaintEvent*) {
    if (frame.isNull())
        return;
    QPainter painter(this);
    if (scale)
        painter.drawImage(rect(), frame);
    else
        painter.drawImage(0, 0, frame);
}
