#pragma once
// A secret typed on the command line's standard input: a box without a screen has no dialog
// to type a password into.
#include <QString>

// Reads one line from standard input (without its line end). On a terminal, prompt goes to
// standard error first and the typing is not echoed. False when nothing could be read.
bool ReadSecretLine(const QString& prompt, QString& retText);
