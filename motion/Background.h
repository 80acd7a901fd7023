#pragma once
// The running background: each cell moves toward the frame by a share that grows with the
// time since the frame before, so that the background forgets at the same pace whatever the
// frame rate.
#include "motion/GreyCells.h"

#include <QtGlobal>

// The background's memory: after this long, a change of the picture is about 63 % taken in.
constexpr double BackgroundMemoryMs = 500;

// The share by which the background moves toward a frame that came elapsedMs after the one
// before: 0 for no time, near 1 after a long gap.
float BackgroundRate(qint64 elapsedMs);

// Moves background toward frame (of the same size) by rate.
void BlendIntoBackground(const GreyCells& frame, float rate, GreyCells& background);
