#include "motion/MotionDetector.h"

#include "motion/Background.h"
#include "motion/CellChange.h"
#include "motion/MotionLevel.h"

#include <algorithm>
#include <utility>

MotionDetector::MotionDetector(int sensitivity) {
    SetSensitivity(sensitivity);
}

void MotionDetector::SetSensitivity(int value) {
    sensitivity = ClampSensitivity(value);
    level = MotionLevel(sensitivity);
}

void MotionDetector::IgnoreUntil(qint64 msecs) {
    ignoreUntilMs = msecs;
    run = {};
    best = {};
}

bool MotionDetector::Feed(const QImage& frame, qint64 msecs, MotionEvent& retEvent) {
    if (!ReduceToGreyCells(frame, cells))
        return false;
    const qint64 elapsedMs = msecs - lastMs;
    lastMs = msecs;
    if (msecs < ignoreUntilMs || cells.width != background.width ||
        cells.height != background.height) {
        // The first frame, a frame of another size or one of the ignored time: there is
        // nothing to compare it with, so it is the background.
        std::swap(background, cells);
        run = {};
        best = {};
        return false;
    }
    const double rawShare = ChangedShare(cells, background, 1);
    const double share = ChangedShare(cells, background, BrightnessGain(cells, background));
    const bool light = std::max(rawShare, share) >= LightShare;
    if (light)
        std::swap(background, cells); // the new light is the background from now on
    else
        BlendIntoBackground(cells, BackgroundRate(elapsedMs), background);
    bool isBest = false;
    const bool closed = StepMotionRun(run, !light && share >= level, share, msecs, isBest);
    if (isBest)
        best = {frame, share, run.startMs};
    if (!closed)
        return false;
    retEvent = std::exchange(best, {});
    return true;
}
