#include "platform/CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

constexpr char16_t RawByteBase = 0xF700;

// One converter per direction for the life of the program; iconv keeps no shift state for
// these two encodings, so a reset between calls is all it needs.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; answers errno of the stop (0 at the end of the input).
    int Run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t r = iconv(cd, &src, &inLeft, &out, &outLeft);
        in = src;
        return r == static_cast<size_t>(-1) ? errno : 0;
    }

  private:
    iconv_t cd;
};

Converter& Decoder() {
    static Converter c("UTF-16LE", "CP932");
    return c;
}

Converter& Encoder() {
    static Converter c("CP932", "UTF-16LE");
    return c;
}

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

QString Decode(const QByteArray& bytes, QByteArray* retIncomplete) {
    QString text;
    text.resize(bytes.size());
    const char* in = bytes.constData();
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outStart = reinterpret_cast<char*>(text.data());
    char* out = outStart;
    size_t outLeft = static_cast<size_t>(text.size()) * 2;
    while (inLeft > 0) {
        int err = Decoder().Run(in, inLeft, out, outLeft);
        if (err == 0 || inLeft == 0)
            break;
        const auto b = static_cast<unsigned char>(*in);
        if (err == EINVAL && retIncomplete && inLeft == 1 && IsLeadByte(b)) {
            *retIncomplete = QByteArray(in, 1);
            inLeft = 0;
            break;
        }
        // Every output character takes at least one input byte, so the room never runs out.
        char16_t raw = RawByteBase + b;
        memcpy(out, &raw, 2);
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    text.resize((out - outStart) / 2);
    return text;
}

} // namespace

QString FromCodePage932(const QByteArray& bytes) {
    return Decode(bytes, nullptr);
}

QString FromCodePage932(const QByteArray& bytes, QByteArray& retIncomplete) {
    retIncomplete.clear();
    return Decode(bytes, &retIncomplete);
}

QByteArray ToCodePage932(const QString& text) {
    QByteArray bytes;
    bytes.resize(text.size() * 2);
    const char* in = reinterpret_cast<const char*>(text.constData());
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char* out = bytes.data();
    size_t outLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        int err = Encoder().Run(in, inLeft, out, outLeft);
        if (err == 0 || inLeft == 0)
            break;
        // A character the code page lacks: one UTF-16 unit, or two for a surrogate pair. An
        // unpaired surrogate is one unit, so the character after it is still converted.
        char16_t unit, next = 0;
        memcpy(&unit, in, 2);
        if (inLeft >= 4)
            memcpy(&next, in + 2, 2);
        const size_t unitBytes =
            QChar::isHighSurrogate(unit) && QChar::isLowSurrogate(next) ? 4 : 2;
        *out++ = (unit >= RawByteBase && unit <= RawByteBase + 0xFF)
                     ? static_cast<char>(unit - RawByteBase)
                     : '?';
        --outLeft;
        in += unitBytes;
        inLeft -= unitBytes;
    }
    bytes.resize(out - bytes.data());
    return bytes;
}
