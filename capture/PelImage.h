#pragma once
// The image format library, bound by name from the program folder.
#include <QString>

// Loads the library and calls its imagelib_init; false, with the loader's message, when the
// library cannot be loaded (the program cannot run without it).
bool InitImageLibrary(QString& retError);
