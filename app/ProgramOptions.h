#pragma once
// The command line: how the program is to run this time. Read before the application object
// exists, since a run without a window must choose its platform first.
#include <QString>
#include <QStringList>

// Exit codes beside 0 and 1: a command line the program does not understand, and (as
// sysexits.h names it) a setting that is missing or damaged where nobody can be asked.
constexpr int ExitUsage = 2;
constexpr int ExitConfig = 78;

struct ProgramOptions {
    // No window: the same start-up, timer, checks, camera and shutdown, the log also on
    // standard error.
    bool headless = false;
    // No window, one mail check, then the shutdown.
    bool checkOnce = false;
    // Which password to read from standard input into main.mla, then end.
    enum class Password { None, Mail, SMTP } setPassword = Password::None;
    // Where options/ and temp/ live ("" when not given).
    QString settingsFolder;

    // Whether the run shows no window at all.
    bool WithoutWindow() const { return headless || checkOnce || setPassword != Password::None; }
};

// Reads arguments (the program's name first). False when the program ends at once: then
// retExitCode is 0 with the help or the version in retText for standard output, or ExitUsage
// with the problem and a pointer to --help in retText for standard error.
bool ParseProgramOptions(const QStringList& arguments, ProgramOptions& retOptions, int& retExitCode,
                         QString& retText);

// The --help text.
QString ProgramHelpText();
