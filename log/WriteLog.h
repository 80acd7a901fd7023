#pragma once
// The activity log: every step of the program, one line each, in options/main.log, with the
// latest line also shown in the main window's status line.
#include <QString>
#include <functional>

// The longest message a log line keeps, in characters. Messages carry header values of
// mails from anyone: a megabyte Subject must not become a megabyte line in the file and the
// status line.
constexpr qsizetype MaxLogMessageLength = 1000;

// message as a log line holds it: each control character but TAB becomes "?", so that no
// value can end the line early or forge one; past MaxLogMessageLength the message is cut
// and "…(全N文字)" tells its whole length N.
QString LogLineText(const QString& message);

// Appends "yyyy/MM/dd hh:mm:ss", TAB, LogLineText(message), CR LF (code page 932) to
// options/main.log, opening and closing the file for the one line and leaving it the user's
// alone (0600: it holds the addresses and subjects of mails), then shows the time
// stamp, two spaces and the same text through SetInformation. Always returns; a log file
// that cannot be written still leaves the status line set.
void WriteLog(const QString& message);

// From now on each line WriteLog writes also goes to standard error as one line, time stamp,
// TAB and text as in the file, UTF-8 and LF-ended: the journal of a run without a window.
void MirrorLogToStandardError();

// Shows text in the status line through the installed sink (none: the text goes nowhere).
void SetInformation(const QString& text);

// The main window installs its status line here; answers the sink it replaces.
using InformationSink = std::function<void(const QString&)>;
InformationSink SetInformationSink(InformationSink sink);
