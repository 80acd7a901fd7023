#include "app/CaptureLayout.h"

CaptureLayout LayoutCapture(double clientWidth, double clientHeight, double labelHeight) {
    return CaptureLayout{80, clientHeight - labelHeight + 30, clientWidth - 80, clientWidth,
                         clientHeight - (labelHeight + 20)};
}
