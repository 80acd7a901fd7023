#pragma once
// The V4L2 video-capture devices among /dev/video0 … /dev/video9, as capture drivers in node
// order: nodes that are missing, cannot be opened or do not stream video capture (metadata,
// output, radio nodes) are left out. The description is the card name, the version the
// kernel driver's version ("6.1.0").
#include "platform/ui/CaptureDriver.h"

std::vector<std::shared_ptr<CaptureDriver>> V4l2CaptureDrivers();
