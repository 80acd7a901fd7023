// The message side of the capture window: each WM_CAP_ message with its wParam and lParam,
// and the two records it fills in.
#include "platform/ui/CaptureWindow.h"

#include "platform/ui/BmpFile.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies record into the caller's buffer of size bytes, cut to fit; answers the bytes copied.
template <typename Record> LRESULT CopyOut(const Record& record, WPARAM size, LPARAM buffer) {
    if (!buffer)
        return 0;
    const size_t count = std::min<size_t>(size, sizeof(Record));
    std::memcpy(reinterpret_cast<void*>(buffer), &record, count);
    return static_cast<LRESULT>(count);
}

} // namespace

LRESULT CaptureWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CAP_DRIVER_CONNECT:
        return DriverConnect(static_cast<int>(wParam));
    case WM_CAP_DRIVER_DISCONNECT:
        return DriverDisconnect();
    case WM_CAP_EDIT_COPY:
        return EditCopy();
    case WM_CAP_DLG_VIDEOFORMAT:
        return VideoFormatDialog();
    case WM_CAP_DLG_VIDEOSOURCE:
        return VideoSourceDialog();
    case WM_CAP_GET_VIDEOFORMAT: {
        BITMAPINFOHEADER format;
        if (!VideoFormat(format))
            return 0;
        // Without a buffer the answer is the size of the whole format block.
        return lParam ? CopyOut(format, wParam, lParam) : LRESULT{sizeof(format)};
    }
    case WM_CAP_SET_PREVIEW:
        return SetPreview(wParam != 0);
    case WM_CAP_SET_PREVIEWRATE:
        return SetPreviewRate(static_cast<int>(std::min<WPARAM>(wParam, 0x7fffffff)));
    case WM_CAP_SET_SCALE:
        return SetScale(wParam != 0);
    case WM_CAP_GET_STATUS: {
        CAPSTATUS status;
        // A short record would leave the caller's fields half written: refused, as a whole.
        if (wParam < sizeof(status) || !lParam || !Status(status))
            return 0;
        CopyOut(status, wParam, lParam);
        return 1;
    }
    default:
        return 0;
    }
}

bool CaptureWindow::VideoFormat(BITMAPINFOHEADER& retFormat) const {
    if (!stream)
        return false;
    const QSize size = stream->Size();
    retFormat = BITMAPINFOHEADER{};
    retFormat.biSize = sizeof(BITMAPINFOHEADER);
    retFormat.biWidth = size.width();
    retFormat.biHeight = size.height();
    retFormat.biPlanes = 1;
    retFormat.biBitCount = 24;
    retFormat.biSizeImage =
        static_cast<DWORD>(RowStride(size.width())) * static_cast<DWORD>(size.height());
    return true;
}

bool CaptureWindow::Status(CAPSTATUS& retStatus) const {
    if (!stream)
        return false;
    const QSize size = stream->Size();
    retStatus = CAPSTATUS{};
    retStatus.uiImageWidth = static_cast<UINT>(size.width());
    retStatus.uiImageHeight = static_cast<UINT>(size.height());
    retStatus.fLiveWindow = Previewing();
    retStatus.fScale = scale;
    retStatus.fUsingDefaultPalette = 1;
    retStatus.dwCurrentVideoFrame = framesShown;
    retStatus.wNumVideoAllocated = 1;
    return true;
}
