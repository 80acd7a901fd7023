#pragma once
// A request to end the program from outside (SIGTERM, SIGINT, SIGHUP: a logout, a service
// stop, Ctrl+C) closes the main window as the user would, so the shutdown sequence runs and
// the settings are saved.
class QWidget;

// Catches the signals from now on (the first thing the program does); a caught signal waits
// until CloseOnTerminationSignal gives it a window to close.
void CatchTerminationSignals();

// From the event loop's next turn on, a caught signal, also one caught before this call,
// closes mainWindow.
void CloseOnTerminationSignal(QWidget* mainWindow);
