#pragma once
// The program folder: where the program file lives, with options/ and temp/ beside it.
#include <QString>

// The folder without a trailing separator. Tests point it at a folder of their own.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// ProgramFolder() + "/options" and ProgramFolder() + "/temp".
QString OptionsFolder();
QString TempFolder();
