#pragma once
// RFC 2047 encoded words ("=?charset?B?...?=" and "=?charset?Q?...?=") in a header value.
#include <QByteArray>
#include <QString>

// Decodes the encoded words of sValue and keeps the text around the words as it is. White
// space between two adjacent decoded words is dropped (RFC 2047 section 6.2), and adjacent words
// of one charset and encoding have their bytes joined before the charset is decoded, so that a
// character split between them comes out whole; a word whose charset CharsetToText does not
// know stays as it stands.
QString DecodeEncodedWords(const QString& sValue);

// The bytes of a Q-encoded text (RFC 2047 section 4.2): "_" is a space and "=" with two hex
// digits one byte; everything else, a malformed "=" included, stands for itself.
QByteArray DecodeQText(const QByteArray& text);

// The value of a header whose name, with its ": ", takes nameLength characters; no line of it
// passes 78 characters. Printable ASCII stays as it is, folded with CR LF before a blank that
// precedes a word where a line would pass 78 (RFC 5322 section 2.2.3). Any other text, and
// printable ASCII with a run too long to fit a line, becomes "=?ISO-2022-JP?B?...?=" words of
// its JIS form (ToJisRepertoire, TextToJis), each a whole ISO-2022-JP text that ends in ASCII
// and at most 75 characters long, folded with CR LF and a space (RFC 2047 sections 2 and 8).
QString EncodeHeaderText(const QString& text, int nameLength);
