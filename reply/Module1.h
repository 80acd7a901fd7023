#pragma once
// The line buffer that the reply mail is assembled in, one run of the composer at a time.
#include <QString>

// Empties the buffer.
void ClearMailText();
// Appends line and CR LF.
void AddMailLine(const QString& line);
// The whole text assembled since the last ClearMailText.
QString GetMailText();
