#pragma once
// The primary screen: its size in pixels and the twips (1/1440 inch) a pixel takes.

struct ScreenMetrics {
    int widthPixels;
    int heightPixels;
    double twipsPerPixelX;
    double twipsPerPixelY;
};

// Read from the primary screen; without one, 800 × 600 at 96 dots per inch.
ScreenMetrics GetScreenMetrics();

// Tests fix the metrics; nullptr goes back to the real screen.
void SetScreenMetricsForTest(const ScreenMetrics* metrics);
