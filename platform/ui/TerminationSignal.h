#pragma once
// A request to end the program from outside (SIGTERM, SIGINT, SIGHUP: a logout, a service
// stop, Ctrl+C) closes the main window as the user would, so the shutdown sequence runs and
// the settings are saved.
class QWidget;

void CloseOnTerminationSignal(QWidget* mainWindow);
