#pragma once
// The program folder: where the program file lives, with options/ and temp/ beside it.
#include <QString>

// The folder without a trailing separator.
QString ProgramFolder();
// Tests point it at a folder of their own (an empty one goes back to the program's); answers
// the folder it replaces.
QString SetProgramFolder(QString folder);

// ProgramFolder() + "/options" and ProgramFolder() + "/temp".
QString OptionsFolder();
QString TempFolder();

// True when a file can be created in folder: the probe file is made and removed again.
bool CanWriteIn(const QString& folder);
