#pragma once
// The start-up test that the program can keep its files: options/ and temp/ live in the
// program folder, so a folder the user cannot write to (a system-wide install) would lose
// every setting and log line.

// True when the program folder, and options/ and temp/ where they exist, take new files.
// Otherwise shows an error box that names the folder and answers false; the program then
// ends before it reads or writes anything.
bool CheckProgramFolderWritable();
