#pragma once
// Conversion between Shift_JIS bytes (the program's code page, CR LF line ends) and 7-bit JIS
// bytes (ISO-2022-JP as mail carries it, LF line ends). Nothing here fails: bytes that form no
// valid character go through the same arithmetic unchecked.
#include <QByteArray>
#include <cstdint>

// Encoding codes of ConvertCode.
inline constexpr int CodeJis = 1;
inline constexpr int CodeSjis = 2;

// (CodeJis, CodeSjis) runs JisToSjis, (CodeSjis, CodeJis) SjisToJis, equal codes copy the input.
// An empty input, fromCode 0 or any other pair of codes gives an empty array.
QByteArray ConvertCode(const QByteArray& bytes, int fromCode, int toCode);

// JIS to Shift_JIS: ESC $ B starts a two-byte run, ESC ( B and ESC ( J end it; a bare LF
// becomes CR LF; every other byte passes unchanged. Stops at the first zero byte.
QByteArray JisToSjis(const QByteArray& bytes);

// Shift_JIS to JIS: each run of two-byte characters goes between ESC $ B and ESC ( B, so the
// result always ends in one-byte mode; CR LF (or a lone CR) becomes LF. Stops at the first
// zero byte.
QByteArray SjisToJis(const QByteArray& bytes);

// One character's code, first byte × 256 + second byte.
std::uint16_t JisCodeToSjis(std::uint16_t code);
std::uint16_t SjisCodeToJis(std::uint16_t code);

// True for the bytes that begin a two-byte Shift_JIS character: 0x81 to 0x9F, 0xE0 to 0xFC.
bool IsSjisLeadByte(std::uint8_t byte);
