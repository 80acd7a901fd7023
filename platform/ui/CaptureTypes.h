#pragma once
// The vocabulary of the capture-window API: window handles, message parameters, the capture
// messages with their classic values, the window styles and positioning flags, and the two
// records the driver fills in (the video format header and the capture status).
#include <cstdint>

using HWND = std::uintptr_t; // 0 names no window
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_CAP_START = WM_USER;
constexpr UINT WM_CAP_DRIVER_CONNECT = WM_CAP_START + 10;
constexpr UINT WM_CAP_DRIVER_DISCONNECT = WM_CAP_START + 11;
constexpr UINT WM_CAP_EDIT_COPY = WM_CAP_START + 30;
constexpr UINT WM_CAP_DLG_VIDEOFORMAT = WM_CAP_START + 41;
constexpr UINT WM_CAP_DLG_VIDEOSOURCE = WM_CAP_START + 42;
constexpr UINT WM_CAP_GET_VIDEOFORMAT = WM_CAP_START + 44;
constexpr UINT WM_CAP_SET_PREVIEW = WM_CAP_START + 50;
constexpr UINT WM_CAP_SET_PREVIEWRATE = WM_CAP_START + 52;
constexpr UINT WM_CAP_SET_SCALE = WM_CAP_START + 53;
constexpr UINT WM_CAP_GET_STATUS = WM_CAP_START + 54;

constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;

constexpr UINT CF_BITMAP = 2;

#pragma pack(push, 2)
struct BITMAPINFOHEADER {
    DWORD biSize;
    std::int32_t biWidth;
    std::int32_t biHeight; // positive: rows stored bottom-up
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    DWORD biCompression; // 0: uncompressed
    DWORD biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct CAPSTATUS {
    UINT uiImageWidth;
    UINT uiImageHeight;
    std::int32_t fLiveWindow;
    std::int32_t fOverlayWindow;
    std::int32_t fScale;
    std::int32_t ptScrollX;
    std::int32_t ptScrollY;
    std::int32_t fUsingDefaultPalette;
    std::int32_t fAudioHardware;
    std::int32_t fCapFileExists;
    DWORD dwCurrentVideoFrame;
    DWORD dwCurrentVideoFramesDropped;
    DWORD dwCurrentWaveSamples;
    DWORD dwCurrentTimeElapsedMS;
    std::uint32_t hPalCurrent; // no palettes here: always 0
    std::int32_t fCapturingNow;
    DWORD dwReturn;
    UINT wNumVideoAllocated;
    UINT wNumAudioAllocated;
};
static_assert(sizeof(CAPSTATUS) == 76);
