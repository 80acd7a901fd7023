#include "textenc/modConvXJIS.h"

namespace {

constexpr char Esc = 0x1B;
constexpr char Cr = 0x0D;
constexpr char Lf = 0x0A;
constexpr char ToTwoByte[] = {Esc, '$', 'B'};
constexpr char ToOneByteAscii[] = {Esc, '(', 'B'};
constexpr char ToOneByteRoman[] = {Esc, '(', 'J'};

// The byte at i, or zero past the end: the input reads as if zero bytes followed it, so a
// character cut off at the end pairs with a zero and no look-ahead leaves the array.
std::uint8_t At(const QByteArray& bytes, qsizetype i) {
    return i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
}

bool EscapeAt(const QByteArray& bytes, qsizetype i, const char (&escape)[3]) {
    return At(bytes, i) == static_cast<std::uint8_t>(escape[0]) &&
           At(bytes, i + 1) == static_cast<std::uint8_t>(escape[1]) &&
           At(bytes, i + 2) == static_cast<std::uint8_t>(escape[2]);
}

void AppendCode(QByteArray& out, std::uint16_t code) {
    out.append(static_cast<char>(code >> 8));
    out.append(static_cast<char>(code & 0xFF));
}

std::uint16_t PairAt(const QByteArray& bytes, qsizetype i) {
    return static_cast<std::uint16_t>(At(bytes, i) * 256 + At(bytes, i + 1));
}

} // namespace

QByteArray ConvertCode(const QByteArray& bytes, int fromCode, int toCode) {
    if (bytes.isEmpty() || fromCode == 0)
        return {};
    if (fromCode == toCode)
        return bytes;
    if (fromCode == CodeJis && toCode == CodeSjis)
        return JisToSjis(bytes);
    if (fromCode == CodeSjis && toCode == CodeJis)
        return SjisToJis(bytes);
    return {};
}

QByteArray JisToSjis(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    bool twoByte = false;
    qsizetype i = 0;
    for (;;) {
        const std::uint8_t b = At(bytes, i);
        if (EscapeAt(bytes, i, ToTwoByte)) {
            twoByte = true;
            i += 3;
        } else if (EscapeAt(bytes, i, ToOneByteAscii) || EscapeAt(bytes, i, ToOneByteRoman)) {
            twoByte = false;
            i += 3;
        } else if (twoByte && b >= 0x21 && b <= 0x7E) {
            AppendCode(out, JisCodeToSjis(PairAt(bytes, i)));
            i += 2;
        } else if (b == Lf && (i == 0 || bytes[i - 1] != Cr)) {
            out.append(Cr).append(Lf);
            i += 1;
        } else if (b == 0) {
            break;
        } else {
            out.append(static_cast<char>(b));
            i += 1;
        }
    }
    return out;
}

QByteArray SjisToJis(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 2);
    bool twoByte = false;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const std::uint8_t b = At(bytes, i);
        if (IsSjisLeadByte(b)) {
            if (!twoByte) {
                out.append(ToTwoByte, 3);
                twoByte = true;
            }
            AppendCode(out, SjisCodeToJis(PairAt(bytes, i)));
            i += 2;
            if (!IsSjisLeadByte(At(bytes, i))) {
                out.append(ToOneByteAscii, 3);
                twoByte = false;
            }
        } else if (b == Cr) {
            // CR LF is one line end; a CR on its own is a line end too and takes nothing with it.
            out.append(Lf);
            i += At(bytes, i + 1) == Lf ? 2 : 1;
        } else if (b == 0) {
            break;
        } else {
            out.append(static_cast<char>(b));
            i += 1;
        }
    }
    return out;
}

std::uint16_t JisCodeToSjis(std::uint16_t code) {
    const int j1 = code >> 8;
    const int j2 = code & 0xFF;
    int s2 = (j1 % 2 == 1) ? j2 + 0x1F : j2 + 0x7D;
    if (s2 > 0x7E)
        s2 += 1;
    int s1 = ((j1 - 0x21) >> 1) + 0x81;
    if (s1 > 0x9F)
        s1 += 0x40;
    return static_cast<std::uint16_t>(s1 * 256 + s2);
}

std::uint16_t SjisCodeToJis(std::uint16_t code) {
    const int s1 = code >> 8;
    int s2 = code & 0xFF;
    int j1 = (s1 < 0xA0) ? (s1 - 0x71) * 2 : (s1 - 0xB1) * 2;
    if (s2 >= 0x80)
        s2 -= 1;
    int j2;
    if (s2 < 0x9E) {
        j1 += 1;
        j2 = s2 - 0x1F;
    } else {
        j1 += 2;
        j2 = s2 - 0x7D;
    }
    return static_cast<std::uint16_t>(j1 * 256 + j2);
}

bool IsSjisLeadByte(std::uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
