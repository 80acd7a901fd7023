#pragma once
// Requests from outside (SIGTERM, SIGINT: a service stop, Ctrl+C; SIGHUP: a logout, or a
// reload of a run without a window) reach the program on the GUI thread, at any moment, a
// modal dialog's own event loop included, so that it ends as it would from its window.
#include <functional>

class QWidget;

// Catches the signals from now on (the first thing the program does); a caught signal waits
// until HandleTerminationSignals says what it does.
void CatchTerminationSignals();

// From the event loop's next turn on, a caught signal, also one caught before this call, runs
// onEnd (SIGTERM, SIGINT) or onHangUp (SIGHUP; onEnd when it is empty). A later call replaces
// both. Needs the application object.
void HandleTerminationSignals(std::function<void()> onEnd, std::function<void()> onHangUp = {});

// The end as the user gives it: each open modal dialog is rejected, as its Cancel would, so that
// whoever waits on it goes on, and mainWindow closes at the event loop's next turn.
void CloseWithItsDialogs(QWidget* mainWindow);
