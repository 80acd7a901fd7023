#pragma once
// The comparison of a frame with the background: the brightness of the two is evened out
// first, so that a lamp or the camera's exposure does not count, and a cell has changed where
// it differs from the background by more than the noise.
#include "motion/GreyCells.h"

// A change of a block's mean grey by more than this is not noise: block means of a camera's
// noise stay within a few levels, a person against a wall differs by tens.
constexpr float NoiseThreshold = 12;

// The factor that evens the frame's brightness out with the background's: the middle one of
// the cells' ratios, so that the moving part (less than half the picture) does not sway it as
// it would sway the ratio of the means. frame and background have the same size.
float BrightnessGain(const GreyCells& frame, const GreyCells& background);

// The share of cells (0 to 1) where frame, times gain, differs from background by more than
// NoiseThreshold.
double ChangedShare(const GreyCells& frame, const GreyCells& background, float gain);

// A change of more than half the picture at once is light (a lamp, the camera's exposure),
// whatever evening the brightness out leaves of it: nothing that moves in a room covers most of
// the camera's view.
constexpr double LightShare = 0.5;
