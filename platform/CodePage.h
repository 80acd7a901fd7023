#pragma once
// Conversion between the program's text and code page 932 (Shift_JIS) bytes, the form of every
// file and socket. Bytes that code page 932 leaves undefined become U+F700 + byte and turn back
// into that byte, so any byte string survives a round trip; other characters the code page
// cannot hold become "?".
#include <QByteArray>
#include <QString>

QString FromCodePage932(const QByteArray& bytes);

// For a stream read in pieces: an incomplete double-byte character at the end of bytes is not
// converted but handed back in retIncomplete, to go in front of the next piece.
QString FromCodePage932(const QByteArray& bytes, QByteArray& retIncomplete);

QByteArray ToCodePage932(const QString& text);
