#include "capture/mVFW.h"

#include "platform/ui/WindowHandles.h"

namespace {
LPARAM Address(void* buffer) {
    return reinterpret_cast<LPARAM>(buffer);
}
} // namespace

bool capDriverConnect(HWND hCapWnd, int driverIndex) {
    return SendMessageA(hCapWnd, WM_CAP_DRIVER_CONNECT, static_cast<WPARAM>(driverIndex), 0) != 0;
}

void capDriverDisconnect(HWND hCapWnd) {
    SendMessageA(hCapWnd, WM_CAP_DRIVER_DISCONNECT, 0, 0);
}

bool capEditCopy(HWND hCapWnd) {
    return SendMessageA(hCapWnd, WM_CAP_EDIT_COPY, 0, 0) != 0;
}

bool capDlgVideoFormat(HWND hCapWnd) {
    return SendMessageA(hCapWnd, WM_CAP_DLG_VIDEOFORMAT, 0, 0) != 0;
}

bool capDlgVideoSource(HWND hCapWnd) {
    return SendMessageA(hCapWnd, WM_CAP_DLG_VIDEOSOURCE, 0, 0) != 0;
}

DWORD capGetVideoFormatSize(HWND hCapWnd) {
    return static_cast<DWORD>(SendMessageA(hCapWnd, WM_CAP_GET_VIDEOFORMAT, 0, 0));
}

DWORD capGetVideoFormat(HWND hCapWnd, void* buffer, DWORD size) {
    return static_cast<DWORD>(SendMessageA(hCapWnd, WM_CAP_GET_VIDEOFORMAT, size, Address(buffer)));
}

bool capPreview(HWND hCapWnd, bool on) {
    return SendMessageA(hCapWnd, WM_CAP_SET_PREVIEW, on ? 1 : 0, 0) != 0;
}

bool capPreviewRate(HWND hCapWnd, int milliseconds) {
    return SendMessageA(hCapWnd, WM_CAP_SET_PREVIEWRATE, static_cast<WPARAM>(milliseconds), 0) != 0;
}

bool capPreviewScale(HWND hCapWnd, bool on) {
    return SendMessageA(hCapWnd, WM_CAP_SET_SCALE, on ? 1 : 0, 0) != 0;
}

bool capGetStatus(HWND hCapWnd, CAPSTATUS& retStatus) {
    return SendMessageA(hCapWnd, WM_CAP_GET_STATUS, sizeof(CAPSTATUS), Address(&retStatus)) != 0;
}
