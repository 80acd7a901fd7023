#pragma once
// What a V4L2 device offers for the driver dialogs: its frame sizes with the pixel formats of
// each, and its user controls.
#include "platform/ui/CaptureDriver.h"

// The sizes of the device's own pixel formats (not libv4l2's converted ones), smallest
// first. A range of sizes gives its smallest, its largest and the usual sizes between.
std::vector<CaptureFrameSize> V4l2FrameSizes(int fd);

// The integer, boolean and menu controls that can be written, with their current values.
std::vector<CaptureControl> V4l2Controls(int fd);

bool V4l2SetControl(int fd, std::uint32_t id, int value);
