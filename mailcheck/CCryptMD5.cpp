#include "mailcheck/CCryptMD5.h"

#include "platform/CodePage.h"

#include <QFile>
#include <algorithm>

namespace {

// RFC 1321 3.4: the additive constants, floor(abs(sin(i + 1)) * 2^32).
constexpr std::uint32_t T[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

// The shift amounts of each round's four steps.
constexpr int Shift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// RFC 1321 3.4: the four auxiliary functions.
std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) | (~x & z);
}
std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & z) | (y & ~z);
}
std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

QString DecimalOf(std::uint32_t word) {
    return QString::number(static_cast<std::int32_t>(word));
}

} // namespace

QString CCryptMD5::RegisterA() const {
    return DecimalOf(state[0]);
}
QString CCryptMD5::RegisterB() const {
    return DecimalOf(state[1]);
}
QString CCryptMD5::RegisterC() const {
    return DecimalOf(state[2]);
}
QString CCryptMD5::RegisterD() const {
    return DecimalOf(state[3]);
}

QString CCryptMD5::DigestStrToHexStr(const QString& SourceString) {
    if (SourceString.size() > MaxStringChars)
        return QString();
    const QByteArray bytes = ToCodePage932(SourceString);
    MD5Init();
    // Two-byte characters can make the bytes twice as many as one update takes.
    for (qsizetype at = 0; at < bytes.size(); at += MaxUpdateBytes) {
        const QByteArray piece = bytes.mid(at, MaxUpdateBytes);
        MD5Update(static_cast<int>(piece.size()), piece);
    }
    MD5Final();
    return GetValues();
}

QString CCryptMD5::DigestFileToHexStr(const QString& InFile, int MaxBytes) {
    QFile file(InFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    MD5Init();
    QByteArray block(64, '\0');
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return QString();
        if (got == 0)
            break;
        if (!MD5Update(static_cast<int>(got), block))
            return QString();
        if (MaxBytes > 0 && byteCount >= MaxBytes)
            break;
    }
    MD5Final();
    return GetValues();
}

QString CCryptMD5::GetValues() const {
    QString hex;
    for (std::uint32_t word : state)
        for (int shift = 0; shift < 32; shift += 8)
            hex += QStringLiteral("%1").arg((word >> shift) & 0xFF, 2, 16, QLatin1Char('0'));
    return hex.toUpper();
}

void CCryptMD5::MD5Init() {
    // RFC 1321 3.3.
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    byteCount = 0;
}

void CCryptMD5::MD5Final() {
    // RFC 1321 3.1 and 3.2: 0x80, zeros up to 56 modulo 64, then the bit count little-endian.
    const std::uint32_t bits = static_cast<std::uint32_t>(byteCount) * 8;
    const int index = byteCount % 64;
    unsigned char tail[64 + 8] = {0x80};
    const int padding = index < 56 ? 56 - index : 120 - index;
    for (int i = 0; i < 4; ++i)
        tail[padding + i] = static_cast<unsigned char>(bits >> (8 * i));
    Feed(tail, padding + 8);
}

bool CCryptMD5::MD5Update(int InputLen, const QByteArray& InputBuffer) {
    if (InputLen < 0 || InputLen > MaxUpdateBytes || InputLen > InputBuffer.size() ||
        InputLen > MaxTotalBytes - byteCount)
        return false;
    Feed(reinterpret_cast<const unsigned char*>(InputBuffer.constData()), InputLen);
    return true;
}

std::uint32_t CCryptMD5::LongLeftRotate(std::uint32_t value, int bits) {
    const int n = ((bits % 32) + 32) % 32;
    return n == 0 ? value : (value << n) | (value >> (32 - n));
}

void CCryptMD5::Feed(const unsigned char* bytes, int length) {
    while (length > 0) {
        const int index = byteCount % 64;
        const int take = std::min(length, 64 - index);
        std::copy(bytes, bytes + take, buffer + index);
        byteCount += take;
        bytes += take;
        length -= take;
        if (index + take == 64)
            Transform(buffer);
    }
}

void CCryptMD5::Transform(const unsigned char* block) {
    // RFC 1321 3.4: the sixteen little-endian words of the block, four rounds of sixteen steps.
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = static_cast<std::uint32_t>(block[4 * i]) |
               static_cast<std::uint32_t>(block[4 * i + 1]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 3]) << 24;
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        std::uint32_t f = 0;
        int k = 0;
        switch (round) {
        case 0:
            f = F(b, c, d);
            k = step;
            break;
        case 1:
            f = G(b, c, d);
            k = (5 * step + 1) % 16;
            break;
        case 2:
            f = H(b, c, d);
            k = (3 * step + 5) % 16;
            break;
        default:
            f = I(b, c, d);
            k = (7 * step) % 16;
            break;
        }
        const std::uint32_t rotated =
            LongLeftRotate(a + f + T[step] + x[k], Shift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
