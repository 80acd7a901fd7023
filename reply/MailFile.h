#pragma once
// The reply file as the composer writes it and the sender reads it: code page 932 text.
#include <QString>

// The whole file's bytes as code page 932 text; "" for a missing, unreadable or empty file
// and for anything but a regular file.
QString ReadFileAsText(const QString& path);

// Replaces the file at path (ReplaceFile) with text and one CR LF in code page 932; false
// when the path is refused or the write fails.
bool WriteTextFile(const QString& path, const QString& text);

// Splits mail at its first empty line (the first CR LF CR LF): retHeader before it, retBody
// after it, the separator in neither. False, outputs untouched, when mail has no empty line.
bool SplitMailFile(const QString& mail, QString& retHeader, QString& retBody);
