#pragma once
// The running background: each cell moves toward the frame by a share that grows with the
// time since the frame before, so that the background forgets at the same pace whatever the
// frame rate.
#include "motion/GreyCells.h"

#include <QtGlobal>

// The background's memory: after this long, a change of the picture is about 63 % taken in.
// Measured on the test camera's scenes: with 2 s the slow shadow (its edge crosses the room
// in 30 s) leaves the background behind and counts as motion; with 250 ms a person who stands
// still for a second and a bit is taken in so soon that the walk falls apart into two events.
// 350 to 800 ms keep both right; 500 is in the middle.
constexpr double BackgroundMemoryMs = 500;

// The share by which the background moves toward a frame that came elapsedMs after the one
// before: 0 for no time, near 1 after a long gap.
float BackgroundRate(qint64 elapsedMs);

// Moves background toward frame (of the same size) by rate.
void BlendIntoBackground(const GreyCells& frame, float rate, GreyCells& background);
