#include "platform/ui/TerminationSignal.h"
#include "tests/support/PumpUntil.h"

#include <QWidget>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>

// The handler interrupts whatever the program was doing, so it must leave errno as it found it,
// also when its write fails because nobody has read the earlier signals yet (a full pipe).
TEST(TerminationSignal, HandlerKeepsErrnoAndTheWindowStillClosesAfterAFlood) {
    CatchTerminationSignals();
    // Far more signals than the pipe holds bytes, so that the handler's later writes fail.
    constexpr int kSignals = 1 << 17;
    int changed = 0;
    for (int i = 0; i < kSignals; ++i) {
        const int signal = i % 3 == 0 ? SIGTERM : i % 3 == 1 ? SIGINT : SIGHUP;
        errno = EDOM;
        raise(signal);
        changed += errno != EDOM ? 1 : 0;
    }
    EXPECT_EQ(changed, 0);

    QWidget window;
    window.show();
    CloseOnTerminationSignal(&window);
    EXPECT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
}
