#pragma once
// Streaming from one V4L2 device: memory-mapped buffers in RGB24 (libv4l2 converts from the
// camera's own format), at the device's current frame size.
#include "platform/ui/CaptureDriver.h"

// Opens the device at path and starts streaming; nullptr when either fails.
std::unique_ptr<CaptureStream> OpenV4l2Stream(const QByteArray& path);
