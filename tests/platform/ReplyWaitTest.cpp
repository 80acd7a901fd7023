// The one wait of the protocol clients: its deadline, cancel and connection tests on the fake
// clock, and the system clock's wait that an event ends.
#include "platform/ReplyWait.h"
#include "platform/EventPump.h"
#include "tests/support/FakeClock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

TEST(ReplyWait, EndsAtTheDeadlineACancelOrALostConnection) {
    FakeClock clock;
    QObject context;
    ReplyWait wait;
    wait.TimeoutSecond = 1.5f;
    wait.LoopWaitMS = 20;
    int64_t start = clock.ElapsedMs();
    EXPECT_FALSE(wait.Until([] { return false; }, [] { return true; }));
    EXPECT_EQ(clock.ElapsedMs() - start, 1500);

    // A cancel is seen at the next poll and stays set.
    start = clock.ElapsedMs();
    RunAfter(200, &context, [&] { wait.bCancel = true; });
    EXPECT_FALSE(wait.Until([] { return false; }, [] { return true; }));
    EXPECT_EQ(clock.ElapsedMs() - start, 200);
    EXPECT_TRUE(wait.bCancel);
    wait.bCancel = false;

    // A reply that came with the close still counts; a close without one ends the wait.
    bool ready = false, connected = true;
    RunAfter(100, &context, [&] {
        ready = true;
        connected = false;
    });
    EXPECT_TRUE(wait.Until([&] { return ready; }, [&] { return connected; }));
    start = clock.ElapsedMs();
    EXPECT_FALSE(wait.Until([] { return false; }, [] { return false; }));
    EXPECT_EQ(clock.ElapsedMs() - start, 20);

    // With a time-out of zero one look is all.
    wait.TimeoutSecond = 0;
    start = clock.ElapsedMs();
    EXPECT_FALSE(wait.Until([] { return false; }, [] { return true; }));
    EXPECT_EQ(clock.ElapsedMs() - start, 20);
}

TEST(ReplyWait, TheSystemClocksWaitEndsWithTheFirstEvent) {
    // Bounded by a minute, the wait ends as soon as the timer's event is handled.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QElapsedTimer elapsed;
    elapsed.start();
    WaitForEvents(60000);
    EXPECT_TRUE(fired);
    EXPECT_LT(elapsed.elapsed(), 30000);

    ReplyWait wait;
    wait.TimeoutSecond = 60;
    wait.LoopWaitMS = 60000;
    bool ready = false;
    QTimer::singleShot(0, [&] { ready = true; });
    elapsed.restart();
    EXPECT_TRUE(wait.Until([&] { return ready; }, [] { return true; }));
    EXPECT_LT(elapsed.elapsed(), 30000);
}
