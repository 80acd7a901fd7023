#include "capture/modCapture.h"

#include "capture/mVFW.h"
#include "log/WriteLog.h"
#include "platform/CodePage.h"
#include "platform/EventPump.h"
#include "platform/ReplaceFile.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "platform/ui/CaptureClipboard.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/CaptureWindow.h"
#include "platform/ui/PictureBox.h"
#include "settings/ProgramObjects.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int DriverTextSize = 80;
constexpr int CreationWidth = 300;
constexpr int CreationHeight = 200;

HWND hWndCapture = 0;

QString DriverText(const char (&buffer)[DriverTextSize]) {
    return TrimNull(FromCodePage932(QByteArray(buffer, DriverTextSize)));
}

PreviewWatcher& InstalledWatcher() {
    static PreviewWatcher watcher;
    return watcher;
}

void TellRestarted() {
    if (InstalledWatcher().Restarted)
        InstalledWatcher().Restarted();
}

} // namespace

int GetCaptureDrivers(QStringList& retDrivers) {
    retDrivers.clear();
    // From here on each index opens the camera it is listed with.
    ScanCaptureDrivers();
    // The platform refuses every index from its last driver on, which ends the list.
    for (UINT index = 0;; ++index) {
        char name[DriverTextSize] = {};
        char version[DriverTextSize] = {};
        if (!capGetDriverDescriptionA(index, name, DriverTextSize, version, DriverTextSize))
            break;
        retDrivers.append(DriverText(name) + QChar(u'\0') + DriverText(version));
    }
    return static_cast<int>(retDrivers.size());
}

bool CreateCapture(int driverIndex, PictureBox* host, int framesPerSecond) {
    if (hWndCapture)
        DestroyCapture();
    DeviceDriverIndex = driverIndex;
    hWndCapture =
        capCreateCaptureWindowA(QByteArray::number(driverIndex).constData(), WS_CHILD | WS_VISIBLE,
                                0, 0, CreationWidth, CreationHeight, HandleOf(host), 0);
    if (!capDriverConnect(hWndCapture, driverIndex)) {
        DestroyWindow(hWndCapture);
        hWndCapture = 0;
        return false;
    }
    // A still that finds the camera unplugged and plugged in again opens it again by itself.
    auto* window = qobject_cast<CaptureWindow*>(WidgetOf(hWndCapture));
    QObject::connect(window, &CaptureWindow::DeviceReopened, window,
                     [] { WriteLog(QStringLiteral("キャプチャデバイスを開き直しました")); });
    // From the event loop, not from inside the window's own frame tick: the watcher may send
    // an alert, whose wait runs events that can rebuild (destroy) this window.
    QObject::connect(
        window, &CaptureWindow::FrameRead, QCoreApplication::instance(),
        [](const QImage& frame) {
            if (InstalledWatcher().Frame)
                InstalledWatcher().Frame(frame);
        },
        Qt::QueuedConnection);
    QObject::connect(window, &CaptureWindow::StreamRestarted, window, &TellRestarted);
    TellRestarted();
    CAPSTATUS status{};
    capGetStatus(hWndCapture, status);
    capPreviewScale(hWndCapture, false);
    // A rate of zero or less frames per second would divide by zero: one frame a second.
    const double rate = 1000.0 / std::max(1, framesPerSecond);
    capPreviewRate(hWndCapture, static_cast<int>(RoundHalfEven(rate)));
    capPreview(hWndCapture, true);
    SetWindowPos(hWndCapture, 0, 0, 0, static_cast<int>(status.uiImageWidth),
                 static_cast<int>(status.uiImageHeight), SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

PreviewWatcher SetPreviewWatcher(PreviewWatcher watcher) {
    return std::exchange(InstalledWatcher(), std::move(watcher));
}

void DestroyCapture() {
    capDriverDisconnect(hWndCapture);
    DestroyWindow(hWndCapture);
    hWndCapture = 0;
}

HWND CaptureWindowHandle() {
    return hWndCapture;
}

bool GetVideoSize(int& retWidth, int& retHeight) {
    const DWORD size = capGetVideoFormatSize(hWndCapture);
    if (size < sizeof(BITMAPINFOHEADER))
        return false;
    // The driver may append a colour table or more; only the header is read.
    std::vector<char> buffer(size);
    if (capGetVideoFormat(hWndCapture, buffer.data(), size) < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, buffer.data(), sizeof(header));
    retWidth = header.biWidth;
    retHeight = header.biHeight;
    return true;
}

void CenterCapture(PictureBox* host) {
    int videoWidth = 0;
    int videoHeight = 0;
    if (!host || !GetVideoSize(videoWidth, videoHeight))
        return;
    const ScreenMetrics screen = GetScreenMetrics();
    const double innerWidth = host->ScaleWidthTwips() / screen.twipsPerPixelX;
    const double innerHeight = host->ScaleHeightTwips() / screen.twipsPerPixelY;
    const double x = RoundHalfEven((innerWidth - videoWidth) / 2);
    const double y = RoundHalfEven((innerHeight - videoHeight) / 2);
    SetWindowPos(hWndCapture, 0, static_cast<int>(x), static_cast<int>(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

void CaptureToFile(const QString& path, PictureBox* stillHost) {
    // No old still may pass for a new one; a special file at the path is left alone.
    if (IsReplaceablePath(path))
        QFile::remove(path);
    if (!capEditCopy(hWndCapture)) {
        WriteLog(QStringLiteral("capEditCopy() に失敗しました"));
        return;
    }
    DoEvents();
    if (IsClipboardFormatAvailable(CF_BITMAP) && stillHost) {
        stillHost->SetPicture(GetClipboardBitmap());
        stillHost->SavePicture(path);
    }
    DoEvents();
    EmptyClipboard();
}

QString TrimNull(const QString& text) {
    return text.left(text.indexOf(QChar(u'\0')));
}
