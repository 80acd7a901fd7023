// The mail-check schedule on its own: ticks, the interval, the overlap guards and the
// start-up gate, with a check that only records what happens while it runs.
#include "app/MailCheckSchedule.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

// Plays a line of events: 't' a tick, 'm' the menu command, 'T'/'M' a tick or the menu
// command from inside the running check, 'b' start-up binding the clients.
struct Scenario {
    int interval;
    std::string events;
    int checks;
    int count; // ticks counted after the last event
};

} // namespace

TEST(MailCheckSchedule, TicksIntervalGuardsAndTheStartUpGate) {
    const Scenario runs[] = {
        {1, "bttt", 3, 0},    // interval 1: a check at every tick
        {5, "btttt", 0, 4},   // not yet due
        {5, "bttttt", 1, 0},  // due at the fifth tick, then counting again
        {5, "btttttt", 1, 1}, //
        {1, "ttt", 0, 3},     // due before start-up bound the clients: stays due
        {1, "tttbt", 1, 0},   // and runs at the first tick after it
        {1, "bm", 1, 0},      // the menu command runs at once
        {5, "btttm", 1, 3},   // and leaves the tick count alone
        {1, "btT", 1, 0},     // a tick during a timer check is dropped
        {1, "bmT", 1, 1},     // a tick during a menu check is counted, the check waits
        {1, "bmTt", 2, 0},    // and runs at the next tick
        {1, "btM", 1, 0},     // the menu command does nothing while a check runs
        {1, "bmM", 1, 0},     //
        {0, "bt", 1, 0},      // an interval below 1 behaves as 1
    };
    for (const Scenario& run : runs) {
        SCOPED_TRACE(run.events + " interval " + std::to_string(run.interval));
        std::string inside; // the events that the next check plays while it runs
        int checks = 0;
        MailCheckSchedule* current = nullptr;
        MailCheckSchedule schedule([&] {
            ++checks;
            const std::string now = std::exchange(inside, std::string());
            for (char event : now)
                event == 'T' ? current->Tick(run.interval) : current->RunNow();
        });
        current = &schedule;
        for (size_t i = 0; i < run.events.size(); ++i) {
            const char event = run.events[i];
            // Upper-case events belong to the check started by the event before them.
            std::string pending;
            for (size_t j = i + 1; j < run.events.size() && std::isupper(run.events[j]); ++j)
                pending += run.events[j];
            if (event == 'b')
                schedule.ClientsBound();
            if (event == 't' || event == 'm') {
                inside = pending;
                event == 't' ? schedule.Tick(run.interval) : schedule.RunNow();
                i += pending.size();
            }
        }
        EXPECT_EQ(checks, run.checks);
        EXPECT_EQ(schedule.Count(), run.count);
        EXPECT_FALSE(schedule.Checking());
    }
}
