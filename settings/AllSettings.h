#pragma once
// Loading and saving every settings file, once at start-up and once at shutdown.

// Reads the rule file, the mail account, the response settings and the options file, opening
// the first-run dialogs where one is missing. False when the user cancelled the first
// response setting: the program must then end at once, saving nothing.
bool LoadAllSettings();

// Reads the mail account, the response settings and the options file again into a running
// program (a reload asked for from outside), opening no dialog. They replace those in memory
// only when the account loads and the response settings load whole; otherwise nothing
// changes and the answer is false. The rule file is the program's own and stays as it is.
bool ReloadAllSettings();

// Writes the rule file, the mail account, the response settings and the options file, each
// even when an earlier one failed. False when any could not be written; a file that was not
// written keeps its old contents whole.
bool SaveAllSettings();

// Writes the rule file alone, as the mail check does whenever ReceivedUidlList changed; false
// when it could not be written.
bool SaveReceivedUidlList();
