#pragma once
// The text of bytes in a MIME charset, for the charsets a Japanese mailbox meets.
#include <QByteArray>
#include <QString>

// Converts bytes from sCharset (any letter case): ISO-2022-JP; Shift_JIS with its aliases
// (SJIS, CP932, Windows-31J, ...); UTF-8; US-ASCII and ISO-8859-1 with their aliases. False,
// and retText untouched, for any other charset.
bool CharsetToText(const QByteArray& bytes, const QString& sCharset, QString& retText);
