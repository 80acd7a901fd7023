#pragma once
// The comparison of a frame with the background: the brightness of the two is evened out
// first, so that a lamp or the camera's exposure does not count, and a cell has changed where
// it differs from the background by more than the noise.
#include "motion/GreyCells.h"

// A change of a block's mean grey by more than this is not noise. Measured on the test
// camera's room: its noise moves a cell by up to 9.5 levels at 160 x 120 (blocks of 2 x 2,
// the fewest pixels a cell ever averages there), 4.4 at 320 x 240 and 2.6 at 640 x 480, and
// the slow shadow leaves the background behind by up to 12; a person against the wall differs
// by a hundred.
constexpr float NoiseThreshold = 16;

// The factor that evens the frame's brightness out with the background's: the middle one of
// the cells' ratios, so that the moving part (less than half the picture) does not sway it as
// it would sway the ratio of the means. frame and background have the same size.
float BrightnessGain(const GreyCells& frame, const GreyCells& background);

// The share of cells (0 to 1) where frame, times gain, differs from background by more than
// NoiseThreshold.
double ChangedShare(const GreyCells& frame, const GreyCells& background, float gain);

// A change of half the picture or more at once is light (a lamp, the camera's exposure),
// whatever evening the brightness out leaves of it: nothing that moves in a room covers most of
// the camera's view. In the test camera's room the lamp changes 94 % of the cells (the
// window's daylight stays), the fastest exposure drift up to 52 %, the crossing shape at most
// 15 % and the shape that walks to and fro 28 %.
constexpr double LightShare = 0.5;
