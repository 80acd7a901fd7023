#pragma once
// The primary screen: its size in pixels and the twips (1/1440 inch) a pixel takes.

#include <optional>

struct ScreenMetrics {
    int widthPixels;
    int heightPixels;
    double twipsPerPixelX;
    double twipsPerPixelY;
};

// Read from the primary screen; without one, 800 × 600 at 96 dots per inch.
ScreenMetrics GetScreenMetrics();

// Tests fix the metrics; an empty one goes back to the real screen. Answers the metrics it
// replaces.
std::optional<ScreenMetrics> SetScreenMetrics(std::optional<ScreenMetrics> metrics);
