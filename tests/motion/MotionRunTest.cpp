#include "motion/MotionRun.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Steps a run through frames 33 ms apart, written 'c' for changed and '.' for quiet; the
// number of events that closed.
int EventsOf(const std::string& frames) {
    MotionRun run;
    int events = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        bool best = false;
        events += StepMotionRun(run, frames[i] == 'c', 0.1, qint64(i) * 33, best);
    }
    return events;
}

} // namespace

TEST(MotionRun, AFrameOrTwoOfChangeBeginNothing) {
    const std::string calm(40, '.');
    const struct {
        std::string frames;
        int events;
    } cases[] = {
        {"c" + calm, 0},   {"cc" + calm, 0},     {"c.c.c.c.c.c" + calm, 0},
        {"ccc" + calm, 1}, {"cc.ccc" + calm, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EventsOf(c.frames), c.events) << c.frames;
}
