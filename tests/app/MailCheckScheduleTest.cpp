// The mail-check schedule on its own: ticks, the interval, the overlap guards, the start-up
// gate and the work beside the checks, with a check and a work that only record what happens
// while they run.
#include "app/MailCheckSchedule.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

// Plays a line of events: 't' a tick, 'm' the menu command, 'w' work beside the checks, 'b'
// start-up binding the clients; 'T', 'M' and 'W' are the same from inside the check or work
// that the event before them started.
struct Scenario {
    int interval;
    std::string events;
    std::string trace; // 'c' a check began, 'w' work began, '-' work was refused
    int count;         // ticks counted after the last event
};

} // namespace

TEST(MailCheckSchedule, TicksIntervalGuardsTheStartUpGateAndWorkBesideTheChecks) {
    const Scenario runs[] = {
        {1, "bttt", "ccc", 0},   // interval 1: a check at every tick
        {5, "btttt", "", 4},     // not yet due
        {5, "bttttt", "c", 0},   // due at the fifth tick, then counting again
        {5, "btttttt", "c", 1},  //
        {1, "ttt", "", 3},       // due before start-up bound the clients: stays due
        {1, "tttbt", "c", 0},    // and runs at the first tick after it
        {1, "bm", "c", 0},       // the menu command runs at once
        {5, "btttm", "c", 3},    // and leaves the tick count alone
        {1, "btT", "c", 0},      // a tick during a timer check is dropped
        {1, "bmT", "c", 1},      // a tick during a menu check is counted, the check waits
        {1, "bmTt", "cc", 0},    // and runs at the next tick
        {1, "btM", "c", 0},      // the menu command does nothing while a check runs
        {1, "bmM", "c", 0},      //
        {0, "bt", "c", 0},       // an interval below 1 behaves as 1
        {1, "bw", "w", 0},       // work runs at once
        {1, "btW", "c-", 0},     // but never during a check
        {1, "bmW", "c-", 0},     //
        {1, "bwW", "w-", 0},     // nor during other work
        {1, "bwT", "wc", 0},     // a check due during work runs as soon as it ends
        {5, "bttttwT", "wc", 0}, //
        {5, "btttwT", "w", 4},   // a tick that does not complete the interval starts none
        {1, "bwM", "wc", 0},     // the menu command during work
        {1, "bwTM", "wc", 0},    // both: one check
        {1, "wT", "w", 1},       // before start-up bound the clients: no check
        {1, "bwTw", "wcw", 0},   // the check has ended before the next work
    };
    for (const Scenario& run : runs) {
        SCOPED_TRACE(run.events + " interval " + std::to_string(run.interval));
        std::string trace;
        std::string inside; // the events that the next check or work plays while it runs
        MailCheckSchedule* current = nullptr;
        std::function<void(char)> play;
        const auto runInside = [&](char began) {
            trace += began;
            for (const char event : std::exchange(inside, std::string()))
                play(static_cast<char>(std::tolower(event)));
        };
        const std::function<void()> work = [&] { runInside('w'); };
        MailCheckSchedule schedule([&] { runInside('c'); });
        current = &schedule;
        play = [&](char event) {
            if (event == 'b')
                current->ClientsBound();
            else if (event == 't')
                current->Tick(run.interval);
            else if (event == 'm')
                current->RunNow();
            else if (event == 'w' && !current->RunBesideChecks(work))
                trace += '-';
        };
        for (size_t i = 0; i < run.events.size(); ++i) {
            // Upper-case events belong to the check or work started by the event before them.
            std::string pending;
            for (size_t j = i + 1; j < run.events.size() && std::isupper(run.events[j]); ++j)
                pending += run.events[j];
            inside = pending;
            play(run.events[i]);
            inside.clear();
            i += pending.size();
        }
        EXPECT_EQ(trace, run.trace);
        EXPECT_EQ(schedule.Count(), run.count);
        EXPECT_FALSE(schedule.Busy());
    }
}
