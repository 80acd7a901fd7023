#include "motion/MotionRun.h"

bool StepMotionRun(MotionRun& run, bool changed, double share, qint64 msecs, bool& retBest) {
    retBest = false;
    if (!changed) {
        if (!run.open) {
            run = {};
            return false;
        }
        if (++run.quietInRow < QuietFrames)
            return false;
        run = {.startMs = run.startMs};
        return true;
    }
    if (run.changedInRow == 0 && !run.open) {
        run.startMs = msecs;
        run.bestShare = share;
        retBest = true;
    } else if (share > run.bestShare) {
        run.bestShare = share;
        retBest = true;
    }
    run.quietInRow = 0;
    if (++run.changedInRow >= StartFrames)
        run.open = true;
    if (run.open && msecs - run.startMs >= LongestEventMs) {
        run = {.startMs = run.startMs};
        return true;
    }
    return false;
}
