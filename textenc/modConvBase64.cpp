#include "textenc/modConvBase64.h"

#include "platform/CodePage.h"
#include "platform/MsgBox.h"

#include <array>
#include <cstdint>

namespace {

using SixBits = std::array<std::uint8_t, 6>;

struct Base64Tables {
    std::array<char, 64> alphabet{};
    std::array<std::uint8_t, 256> decoding{};
    std::array<SixBits, 64> patterns{};
    bool built = false;
};

Base64Tables& Tables() {
    static Base64Tables tables;
    return tables;
}

} // namespace

void InitBase64() {
    Base64Tables& t = Tables();
    for (int v = 0; v < 64; ++v) {
        if (v < 26)
            t.alphabet[v] = static_cast<char>('A' + v);
        else if (v < 52)
            t.alphabet[v] = static_cast<char>('a' + v - 26);
        else if (v < 62)
            t.alphabet[v] = static_cast<char>('0' + v - 52);
        else
            t.alphabet[v] = v == 62 ? '+' : '/';
    }
    // "=" and every byte outside the alphabet decode as zero.
    t.decoding.fill(0);
    for (int v = 0; v < 64; ++v)
        t.decoding[static_cast<std::uint8_t>(t.alphabet[v])] = static_cast<std::uint8_t>(v);
    for (int v = 0; v < 64; ++v)
        for (int bit = 0; bit < 6; ++bit)
            t.patterns[v][bit] = (v >> (5 - bit)) & 1;
    t.built = true;
}

bool StartsWithJisBase64Prefix(const QByteArray& bytes) {
    const qsizetype n = sizeof(JisBase64WordPrefix) - 1;
    return bytes.size() >= n && qstrnicmp(bytes.constData(), JisBase64WordPrefix, n) == 0;
}

QByteArray DecodeBase64Text(const QString& text, bool stripEncodedWord) {
    const Base64Tables& t = Tables();
    if (!t.built) {
        MsgBox(MsgIcon::Critical, AppTitle(), QStringLiteral("先にInitBase64を呼び出して下さい"));
        return {};
    }
    QByteArray bytes = ToCodePage932(text);
    if (stripEncodedWord && StartsWithJisBase64Prefix(bytes)) {
        bytes.remove(0, sizeof(JisBase64WordPrefix) - 1);
        if (bytes.endsWith("?="))
            bytes.chop(2);
    }
    QByteArray out;
    out.reserve(bytes.size() * 3 / 4);
    unsigned int byte = 0;
    int bits = 0;
    for (const char c : bytes) {
        for (const std::uint8_t bit : t.patterns[t.decoding[static_cast<std::uint8_t>(c)]]) {
            byte = (byte << 1) | bit;
            if (++bits == 8) {
                out.append(static_cast<char>(byte));
                byte = 0;
                bits = 0;
            }
        }
    }
    return out;
}

QByteArray EncodeBase64(const QByteArray& bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const qsizetype left = bytes.size() - i;
        const std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16 |
                                    (left > 1 ? static_cast<std::uint8_t>(bytes[i + 1]) << 8 : 0) |
                                    (left > 2 ? static_cast<std::uint8_t>(bytes[i + 2]) : 0);
        out.append(alphabet[group >> 18 & 0x3F]);
        out.append(alphabet[group >> 12 & 0x3F]);
        out.append(left > 1 ? alphabet[group >> 6 & 0x3F] : '=');
        out.append(left > 2 ? alphabet[group & 0x3F] : '=');
    }
    return out;
}
