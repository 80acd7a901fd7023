#pragma once
// The start-up test that the program can keep its files: a folder for the settings or the
// scratch files that the user cannot write to would lose every setting and log line.

// True when options/ and temp/, or the folder that will hold them where they do not exist
// yet, take new files. Otherwise shows an error box that names the folder and answers false;
// the program then ends before it reads or writes anything.
bool CheckProgramFolderWritable();
