#pragma once
// One thin wrapper per capture message, each sent with SendMessageA to the capture window.
// Booleans go as 1 or 0; a Boolean answer is true exactly when the message answered non-zero.
#include "platform/ui/CaptureTypes.h"

bool capDriverConnect(HWND hCapWnd, int driverIndex);
void capDriverDisconnect(HWND hCapWnd);
// Copies the current frame to the capture layer's clipboard.
bool capEditCopy(HWND hCapWnd);
bool capDlgVideoFormat(HWND hCapWnd);
bool capDlgVideoSource(HWND hCapWnd);
// The size of the video format block in bytes.
DWORD capGetVideoFormatSize(HWND hCapWnd);
// Copies at most size bytes of the format block to buffer; answers the bytes copied.
DWORD capGetVideoFormat(HWND hCapWnd, void* buffer, DWORD size);
bool capPreview(HWND hCapWnd, bool on);
bool capPreviewRate(HWND hCapWnd, int milliseconds);
bool capPreviewScale(HWND hCapWnd, bool on);
bool capGetStatus(HWND hCapWnd, CAPSTATUS& retStatus);
