#pragma once
// Conversion between the program's text and code page 932 (Shift_JIS) bytes, the form of every
// file and socket. Bytes that code page 932 leaves undefined become U+F700 + byte and turn back
// into that byte, so stray bytes survive a round trip (the code page's duplicate codes, such as
// 0xED40 and 0xFA5C, come back in their standard form); characters the code page cannot hold
// become "?".
#include <QByteArray>
#include <QString>

QString FromCodePage932(const QByteArray& bytes);

// For a stream read in pieces: an incomplete double-byte character at the end of bytes is not
// converted but handed back in retIncomplete, to go in front of the next piece.
QString FromCodePage932(const QByteArray& bytes, QByteArray& retIncomplete);

QByteArray ToCodePage932(const QString& text);
