#include "platform/ui/TerminationSignal.h"
#include "tests/support/PumpUntil.h"

#include <QDialog>
#include <QTimer>
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
    HandleTerminationSignals([&] { CloseWithItsDialogs(&window); });
    EXPECT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
}

TEST(TerminationSignal, HangUpReloadsWhereAHandlerIsGivenAndEndsOtherwise) {
    for (const bool reloads : {true, false}) {
        int ends = 0, hangUps = 0;
        HandleTerminationSignals([&] { ++ends; }, reloads
                                                      ? std::function<void()>([&] { ++hangUps; })
                                                      : std::function<void()>());
        raise(SIGHUP);
        ASSERT_TRUE(PumpUntil([&] { return ends + hangUps > 0; }));
        EXPECT_EQ(hangUps, reloads ? 1 : 0);
        EXPECT_EQ(ends, reloads ? 0 : 1);
    }
    HandleTerminationSignals({});
}

// A modal dialog runs an event loop of its own: the signal still ends it, as Cancel would,
// and then closes the window behind it.
TEST(TerminationSignal, AnOpenModalDialogIsRejectedAndTheWindowClosed) {
    QWidget window;
    window.show();
    HandleTerminationSignals([&] { CloseWithItsDialogs(&window); });
    QDialog dialog(&window);
    QTimer::singleShot(0, [] { raise(SIGTERM); });
    QTimer::singleShot(20000, &dialog, &QDialog::accept); // never reached when it works
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(PumpUntil([&] { return !window.isVisible(); }));
    HandleTerminationSignals({});
}
