#pragma once
// The shell launcher of the help commands: a command line opened through the desktop shell.
#include <QString>
#include <QtGlobal>

// Splits commandLine at the first space whose prefix the shell's file search finds (that
// prefix is the program, the rest its parameters; no such space: all of it is the program),
// opens it with the shell and, failing that, starts the whole line as a program. With
// waitForExit it returns once the started process has ended, pumping events meanwhile. True
// when something was started.
bool RunShell(const QString& commandLine, int showCommand, quintptr ownerWindow, bool waitForExit);
