#pragma once
// The repertoire of 7-bit ISO-2022-JP mail text (RFC 1468 as Japanese mailers read it): ASCII
// and the characters of JIS X 0208, nothing else, so that no byte of 0x80 or above is written.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>

// What stands in for a character the repertoire lacks: the geta mark (JIS 0x222E).
inline constexpr char16_t JisReplacementChar = u'〓';

// True for the 6879 cells of JIS X 0208 that hold a character (code j1 × 256 + j2).
bool IsJisX0208Code(std::uint16_t jisCode);

// text in the repertoire: half-width katakana become full-width (ToFullWidthKana); printable
// ASCII, TAB and the characters of JIS X 0208 stay; every other character (controls, CR and
// LF among them, half-width katakana that have no full-width form, characters that code page
// 932 adds to JIS X 0208, characters beyond it) becomes JisReplacementChar.
QString ToJisRepertoire(const QString& text);

// The ISO-2022-JP bytes of ToJisRepertoire(text): ASCII runs as they are, JIS X 0208 runs
// between ESC $ B and ESC ( B, ending in ASCII. Every byte is below 0x80.
QByteArray TextToJis(const QString& text);

// How many characters from the start of text, a text within the repertoire, fit in maxBytes
// bytes of TextToJis (escape sequences counted); at least one unless text is empty, so that
// cutting a text with it always moves on.
qsizetype JisPrefixLength(QStringView text, qsizetype maxBytes);
