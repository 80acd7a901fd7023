#pragma once
// The installed capture drivers by index (0 to 9): the V4L2 video-capture devices, and the
// test driver where it is enabled. The list is taken once and kept, so that an index names
// the same camera from then on, whatever is plugged in or out meanwhile.
#include "platform/ui/CaptureDriver.h"
#include "platform/ui/CaptureTypes.h"

constexpr int MaxCaptureDrivers = 10;

// Takes the list of drivers anew (the first use of an index takes it when nothing has).
void ScanCaptureDrivers();

// The driver at index in the list, or nullptr for a free index.
std::shared_ptr<CaptureDriver> CaptureDriverAt(int index);

// Copies the driver's description and version, NUL-terminated and cut to the buffer sizes;
// false for a free index or an unusable buffer.
bool capGetDriverDescriptionA(UINT wDriverIndex, char* lpszName, int cbName, char* lpszVer,
                              int cbVer);

// Adds a test driver after the real devices (the tests and the demonstration build); the
// next use of an index takes the list anew.
void EnableTestCaptureDriver(std::shared_ptr<CaptureDriver> driver);

// Tests fix the whole table: entry k is driver index k, nullptr a free index. An empty vector
// goes back to the listed devices, taken anew.
void SetCaptureDriversForTest(std::vector<std::shared_ptr<CaptureDriver>> drivers);
