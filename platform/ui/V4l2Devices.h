#pragma once
// The V4L2 video-capture devices among /dev/video0 … /dev/video9, as capture drivers in node
// order: nodes that are missing, cannot be opened or do not stream video capture (metadata,
// output, radio nodes) are left out. The description is the card name, the version the
// kernel driver's version ("6.1.0"). Each driver keeps to its camera (card name and port):
// it opens no other camera that takes its node, and finds its own where it comes back after
// being unplugged.
#include "platform/ui/CaptureDriver.h"

std::vector<std::shared_ptr<CaptureDriver>> V4l2CaptureDrivers();
