#pragma once
// The activity log: every step of the program, one line each, in options/main.log, with the
// latest line also shown in the main window's status line.
#include <QString>
#include <functional>

// Appends "yyyy/MM/dd hh:mm:ss", TAB, message, CR LF (code page 932) to options/main.log,
// opening and closing the file for the one line, then shows the time stamp, two spaces and
// the message through SetInformation. Always returns; a log file that cannot be written
// still leaves the status line set.
void WriteLog(const QString& message);

// Shows text in the status line through the installed sink (none: the text goes nowhere).
void SetInformation(const QString& text);

// The main window installs its status line here; answers the sink it replaces.
using InformationSink = std::function<void(const QString&)>;
InformationSink SetInformationSink(InformationSink sink);
