#pragma once
// Where the status line and the preview area go in the main window's client area, in twips.

struct CaptureLayout {
    double labelLeft;
    double labelTop;
    double labelWidth;
    double previewWidth;
    double previewHeight;
};

// The status line at left 80, its top 30 twips below where a label of labelHeight would sit
// flush with the bottom, as wide as the rest of the row; the preview from the top-left corner,
// the full width, ending labelHeight + 20 above the bottom. A minimised window gives negative
// sizes; the caller clamps them.
CaptureLayout LayoutCapture(double clientWidth, double clientHeight, double labelHeight);
