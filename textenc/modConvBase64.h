#pragma once
// The program's own base64 for encoded-word subjects (RFC 2045 alphabet). The decoder's tables
// are built once by InitBase64 and kept for the rest of the run.
#include <QByteArray>
#include <QString>

// The encoded-word opening that DecodeBase64Text can strip.
inline constexpr char JisBase64WordPrefix[] = "=?ISO-2022-JP?B?";

// Builds the alphabet, the decoding table and the six-bit patterns; calling it again rebuilds
// the same tables.
void InitBase64();

// The bytes of text (taken in code page 932) decoded six bits a byte: "=" and every byte
// outside the alphabet count as six zero bits, and bits short of a whole byte at the end are
// dropped. With stripEncodedWord, a leading JisBase64WordPrefix (any letter case) is dropped
// first, and then a trailing "?=". Without InitBase64 it shows an error box and answers empty.
QByteArray DecodeBase64Text(const QString& text, bool stripEncodedWord);

// True when bytes begin with JisBase64WordPrefix, letters compared in any case.
bool StartsWithJisBase64Prefix(const QByteArray& bytes);

// bytes as one line of base64 text with "=" padding (RFC 2045 section 6.8); needs no tables.
QByteArray EncodeBase64(const QByteArray& bytes);
