#include "settings/CDES.h"

#include "platform/CodePage.h"

#include <QRandomGenerator>

namespace {

// The standard tables of FIPS 46-3; bit 1 is the most significant bit of the input.
constexpr uint8_t IP[64] = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                            62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                            57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                            61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr uint8_t FP[64] = {40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
                            38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
                            36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
                            34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};

constexpr uint8_t E[48] = {32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
                           12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
                           22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

constexpr uint8_t P[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                           2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr uint8_t PC1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                             10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                             63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                             14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr uint8_t PC2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                             26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                             51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr uint8_t Rotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// The eight S-boxes: four rows (chosen by the outer two input bits) of 16 columns.
// clang-format off
constexpr uint8_t S[8][4][16] = {
    {
        {14,  4, 13,  1,  2, 15, 11,  8,  3, 10,  6, 12,  5,  9,  0,  7},
        { 0, 15,  7,  4, 14,  2, 13,  1, 10,  6, 12, 11,  9,  5,  3,  8},
        { 4,  1, 14,  8, 13,  6,  2, 11, 15, 12,  9,  7,  3, 10,  5,  0},
        {15, 12,  8,  2,  4,  9,  1,  7,  5, 11,  3, 14, 10,  0,  6, 13},
    },
    {
        {15,  1,  8, 14,  6, 11,  3,  4,  9,  7,  2, 13, 12,  0,  5, 10},
        { 3, 13,  4,  7, 15,  2,  8, 14, 12,  0,  1, 10,  6,  9, 11,  5},
        { 0, 14,  7, 11, 10,  4, 13,  1,  5,  8, 12,  6,  9,  3,  2, 15},
        {13,  8, 10,  1,  3, 15,  4,  2, 11,  6,  7, 12,  0,  5, 14,  9},
    },
    {
        {10,  0,  9, 14,  6,  3, 15,  5,  1, 13, 12,  7, 11,  4,  2,  8},
        {13,  7,  0,  9,  3,  4,  6, 10,  2,  8,  5, 14, 12, 11, 15,  1},
        {13,  6,  4,  9,  8, 15,  3,  0, 11,  1,  2, 12,  5, 10, 14,  7},
        { 1, 10, 13,  0,  6,  9,  8,  7,  4, 15, 14,  3, 11,  5,  2, 12},
    },
    {
        { 7, 13, 14,  3,  0,  6,  9, 10,  1,  2,  8,  5, 11, 12,  4, 15},
        {13,  8, 11,  5,  6, 15,  0,  3,  4,  7,  2, 12,  1, 10, 14,  9},
        {10,  6,  9,  0, 12, 11,  7, 13, 15,  1,  3, 14,  5,  2,  8,  4},
        { 3, 15,  0,  6, 10,  1, 13,  8,  9,  4,  5, 11, 12,  7,  2, 14},
    },
    {
        { 2, 12,  4,  1,  7, 10, 11,  6,  8,  5,  3, 15, 13,  0, 14,  9},
        {14, 11,  2, 12,  4,  7, 13,  1,  5,  0, 15, 10,  3,  9,  8,  6},
        { 4,  2,  1, 11, 10, 13,  7,  8, 15,  9, 12,  5,  6,  3,  0, 14},
        {11,  8, 12,  7,  1, 14,  2, 13,  6, 15,  0,  9, 10,  4,  5,  3},
    },
    {
        {12,  1, 10, 15,  9,  2,  6,  8,  0, 13,  3,  4, 14,  7,  5, 11},
        {10, 15,  4,  2,  7, 12,  9,  5,  6,  1, 13, 14,  0, 11,  3,  8},
        { 9, 14, 15,  5,  2,  8, 12,  3,  7,  0,  4, 10,  1, 13, 11,  6},
        { 4,  3,  2, 12,  9,  5, 15, 10, 11, 14,  1,  7,  6,  0,  8, 13},
    },
    {
        { 4, 11,  2, 14, 15,  0,  8, 13,  3, 12,  9,  7,  5, 10,  6,  1},
        {13,  0, 11,  7,  4,  9,  1, 10, 14,  3,  5, 12,  2, 15,  8,  6},
        { 1,  4, 11, 13, 12,  3,  7, 14, 10, 15,  6,  8,  0,  5,  9,  2},
        { 6, 11, 13,  8,  1,  4, 10,  7,  9,  5,  0, 15, 14,  2,  3, 12},
    },
    {
        {13,  2,  8,  4,  6, 15, 11,  1, 10,  9,  3, 14,  5,  0, 12,  7},
        { 1, 15, 13,  8, 10,  3,  7,  4, 12,  5,  6, 11,  0, 14,  9,  2},
        { 7, 11,  4,  1,  9, 12, 14,  2,  0,  6, 10, 13, 15,  3,  5,  8},
        { 2,  1, 14,  7,  4, 10,  8, 13, 15, 12,  9,  0,  3,  5,  6, 11},
    },
};
// clang-format on

// Output bit i (from the top of an n-bit result) is input bit table[i] of an inBits-bit input.
template <size_t n> uint64_t Permute(uint64_t input, const uint8_t (&table)[n], int inBits) {
    uint64_t output = 0;
    for (size_t i = 0; i < n; ++i)
        output = (output << 1) | ((input >> (inBits - table[i])) & 1);
    return output;
}

uint32_t Feistel(uint32_t half, uint64_t roundKey) {
    const uint64_t mixed = Permute(half, E, 32) ^ roundKey;
    uint32_t substituted = 0;
    for (int box = 0; box < 8; ++box) {
        const unsigned six = (mixed >> (42 - 6 * box)) & 0x3F;
        const unsigned row = ((six >> 4) & 2) | (six & 1);
        const unsigned column = (six >> 1) & 0xF;
        substituted = (substituted << 4) | S[box][row][column];
    }
    return static_cast<uint32_t>(Permute(substituted, P, 32));
}

uint32_t Rotate28(uint32_t half, int count) {
    return ((half << count) | (half >> (28 - count))) & 0x0FFFFFFF;
}

uint64_t BlockAt(const QByteArray& bytes, qsizetype offset) {
    uint64_t block = 0;
    for (qsizetype i = 0; i < 8; ++i)
        block = (block << 8) | static_cast<uint8_t>(bytes[offset + i]);
    return block;
}

void PutBlock(QByteArray& bytes, qsizetype offset, uint64_t block) {
    for (qsizetype i = 7; i >= 0; --i, block >>= 8)
        bytes[offset + i] = static_cast<char>(block & 0xFF);
}

void AppendLittleEndian(QByteArray& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i, value >>= 8)
        bytes.append(static_cast<char>(value & 0xFF));
}

uint32_t ReadLittleEndian(const QByteArray& bytes, qsizetype offset) {
    uint32_t value = 0;
    for (qsizetype i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[offset + i]);
    return value;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

void CDES::SetKey(const QString& New_Value) {
    if (New_Value == sKey)
        return;
    sKey = New_Value;
    SetKeyBytes(ToCodePage932(New_Value).left(std::min<qsizetype>(8, New_Value.size())));
}

void CDES::SetKeyBytes(const QByteArray& keyBytes) {
    uint64_t key = 0;
    for (qsizetype i = 0; i < 8; ++i)
        key = (key << 8) | (i < keyBytes.size() ? static_cast<uint8_t>(keyBytes[i]) : 0);
    const uint64_t permuted = Permute(key, PC1, 64);
    uint32_t c = static_cast<uint32_t>(permuted >> 28), d = permuted & 0x0FFFFFFF;
    for (size_t round = 0; round < 16; ++round) {
        c = Rotate28(c, Rotations[round]);
        d = Rotate28(d, Rotations[round]);
        roundKeys[round] = Permute((uint64_t{c} << 28) | d, PC2, 56);
    }
}

uint64_t CDES::Crypt(uint64_t block, bool decrypt) const {
    const uint64_t permuted = Permute(block, IP, 64);
    uint32_t left = static_cast<uint32_t>(permuted >> 32), right = permuted & 0xFFFFFFFF;
    for (size_t round = 0; round < 16; ++round) {
        const uint32_t next = left ^ Feistel(right, roundKeys[decrypt ? 15 - round : round]);
        left = right;
        right = next;
    }
    // The halves swap once more before the final permutation.
    return Permute((uint64_t{right} << 32) | left, FP, 64);
}

uint64_t CDES::EncryptBlock(uint64_t block) const {
    return Crypt(block, false);
}

uint64_t CDES::DecryptBlock(uint64_t block) const {
    return Crypt(block, true);
}

void CDES::EncryptByte(QByteArray& byteArray, const QString& Key) {
    if (!Key.isEmpty())
        SetKey(Key);
    QByteArray buffer;
    AppendLittleEndian(buffer, QRandomGenerator::global()->bounded(0x80000000u));
    AppendLittleEndian(buffer, QRandomGenerator::global()->bounded(0x80000000u));
    AppendLittleEndian(buffer, static_cast<uint32_t>(byteArray.size()));
    buffer += byteArray;
    buffer.append((8 - buffer.size() % 8) % 8, '\0');
    uint64_t previous = 0;
    for (qsizetype offset = 0; offset < buffer.size(); offset += 8) {
        previous = EncryptBlock(BlockAt(buffer, offset) ^ previous);
        PutBlock(buffer, offset, previous);
    }
    byteArray = buffer;
}

bool CDES::DecryptByte(QByteArray& byteArray, const QString& Key) {
    if (!Key.isEmpty())
        SetKey(Key);
    const qsizetype size = byteArray.size();
    if (size == 0)
        return true;
    if (size % 8 != 0 || size < 16) {
        byteArray.clear();
        return false;
    }
    uint64_t previous = 0;
    for (qsizetype offset = 0; offset < size; offset += 8) {
        const uint64_t encrypted = BlockAt(byteArray, offset);
        PutBlock(byteArray, offset, DecryptBlock(encrypted) ^ previous);
        previous = encrypted;
    }
    // The padding is 0 to 7 bytes, so the header and padding together take 12 to 19.
    const int64_t overhead = size - int64_t{ReadLittleEndian(byteArray, 8)};
    if (overhead < 12 || overhead > 19) {
        byteArray.clear();
        return false;
    }
    byteArray = byteArray.mid(12, size - overhead);
    return true;
}

QString CDES::EncryptString(const QString& Text, const QString& Key, bool OutputInHex) {
    QByteArray bytes = ToCodePage932(Text);
    EncryptByte(bytes, Key);
    return OutputInHex ? QString::fromLatin1(bytes.toHex().toUpper()) : FromCodePage932(bytes);
}

bool CDES::DecryptString(const QString& Text, QString& retText, const QString& Key,
                         bool IsTextInHex) {
    QByteArray bytes = IsTextInHex ? Decode(Text) : ToCodePage932(Text);
    const bool ok = DecryptByte(bytes, Key);
    retText = FromCodePage932(bytes);
    return ok;
}

QByteArray CDES::Decode(const QString& strHexCode) {
    QString digits = strHexCode;
    digits.remove(QStringLiteral("\r\n")).remove(u'+').remove(u'.');
    QByteArray bytes(digits.size() / 2, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit(digits[2 * i]), low = HexDigit(digits[2 * i + 1]);
        if (high >= 0 && low >= 0)
            bytes[i] = static_cast<char>(high * 16 + low);
    }
    return bytes;
}
