#pragma once
// The base64 codec library libpelcodec.so, bound by name from the program folder at the first
// call of b64encode.
#include <QString>

// Encodes the file inPath into one line of base64 text at outPath. False when the library or
// its b64encode cannot be bound; otherwise retResult is the library's answer (1 for success).
bool b64encode(const QString& inPath, const QString& outPath, int& retResult);
