#pragma once
// The program folder, where the program file lives, and the two folders the program keeps its
// files in: options/ (the settings and the log) and temp/ (scratch files). Both lie in the
// program folder unless start-up chose others (ChooseDataFolders); no subsystem knows which.
#include <QString>

// The folder without a trailing separator.
QString ProgramFolder();
// Tests point it at a folder of their own (an empty one goes back to the program's); answers
// the folder it replaces.
QString SetProgramFolder(QString folder);

// The folders chosen at start-up, or ProgramFolder() + "/options" and + "/temp".
QString OptionsFolder();
QString TempFolder();

// Where options/ and temp/ live for this run, chosen once at start-up:
// - settingsFolder when it is given (both inside it);
// - else the program folder when a file can be created in it (a per-user install, a build);
// - else $XDG_CONFIG_HOME/vistrel/options and $XDG_CACHE_HOME/vistrel/temp (defaults
//   ~/.config and ~/.cache; a system install). retNote then says so, for the log.
// The chosen parents are created (0700: the options hold secrets). False with retNote naming
// the folder when one cannot be created.
bool ChooseDataFolders(const QString& settingsFolder, QString& retNote);
// Back to the program folder's options/ and temp/ (tests).
void ResetDataFolders();

// True when a file can be created in folder: the probe file is made and removed again.
bool CanWriteIn(const QString& folder);
