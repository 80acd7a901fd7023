#include "textenc/MailJis.h"

#include "platform/CodePage.h"
#include "textenc/HalfWidth.h"
#include "textenc/modConvXJIS.h"

#include <algorithm>
#include <bitset>

namespace {

// The defined cells of JIS X 0208 (1990), as ranges of codes within one row.
struct CellRange {
    std::uint16_t first, last;
};
constexpr CellRange DefinedCells[] = {
    {0x2121, 0x217E}, // row 1: punctuation and symbols
    {0x2221, 0x222E}, {0x223A, 0x2241}, {0x224A, 0x2250},
    {0x225C, 0x226A}, {0x2272, 0x2279}, {0x227E, 0x227E}, // row 2: symbols
    {0x2330, 0x2339}, {0x2341, 0x235A}, {0x2361, 0x237A}, // row 3: digits, Latin letters
    {0x2421, 0x2473},                                     // row 4: hiragana
    {0x2521, 0x2576},                                     // row 5: katakana
    {0x2621, 0x2638}, {0x2641, 0x2658},                   // row 6: Greek
    {0x2721, 0x2741}, {0x2751, 0x2771},                   // row 7: Cyrillic
    {0x2821, 0x2840},                                     // row 8: box drawing
};
constexpr std::uint16_t Level1First = 0x3021, Level1Last = 0x4F53; // rows 16 to 47
constexpr std::uint16_t Level2First = 0x5021, Level2Last = 0x7426; // rows 48 to 84

bool IsKanjiCode(std::uint16_t code) {
    const int j2 = code & 0xFF;
    if (j2 < 0x21 || j2 > 0x7E)
        return false;
    return (code >= Level1First && code <= Level1Last) ||
           (code >= Level2First && code <= Level2Last);
}

// The characters of JIS X 0208 as code page 932 reads them, built once: a character belongs
// when its code page bytes are the Shift_JIS form of a defined cell, both ways.
class Repertoire {
  public:
    Repertoire() {
        for (int j1 = 0x21; j1 <= 0x74; ++j1)
            for (int j2 = 0x21; j2 <= 0x7E; ++j2)
                Add(static_cast<std::uint16_t>(j1 * 256 + j2));
    }
    bool Holds(char16_t c) const { return characters.test(c); }

  private:
    void Add(std::uint16_t jis) {
        if (!IsJisX0208Code(jis))
            return;
        const std::uint16_t sjis = JisCodeToSjis(jis);
        const char pair[] = {static_cast<char>(sjis >> 8), static_cast<char>(sjis & 0xFF)};
        const QByteArray bytes(pair, 2);
        const QString text = FromCodePage932(bytes);
        if (text.size() == 1 && ToCodePage932(text) == bytes)
            characters.set(text[0].unicode());
    }
    std::bitset<0x10000> characters;
};

const Repertoire& JisX0208() {
    static const Repertoire repertoire;
    return repertoire;
}

bool IsKeptAscii(char16_t c) {
    return (c >= 0x20 && c < 0x7F) || c == u'\t';
}

} // namespace

bool IsJisX0208Code(std::uint16_t jisCode) {
    for (const CellRange& range : DefinedCells)
        if (jisCode >= range.first && jisCode <= range.last)
            return true;
    return IsKanjiCode(jisCode);
}

QString ToJisRepertoire(const QString& text) {
    const QString full = ToFullWidthKana(text);
    QString out;
    out.reserve(full.size());
    for (qsizetype i = 0; i < full.size(); ++i) {
        const char16_t c = full[i].unicode();
        if (IsKeptAscii(c) || (c >= 0x80 && JisX0208().Holds(c))) {
            out.append(QChar(c));
            continue;
        }
        // A surrogate pair is one character beyond the repertoire.
        if (QChar::isHighSurrogate(c) && i + 1 < full.size() && full[i + 1].isLowSurrogate())
            ++i;
        out.append(QChar(JisReplacementChar));
    }
    return out;
}

QByteArray TextToJis(const QString& text) {
    return SjisToJis(ToCodePage932(ToJisRepertoire(text)));
}

qsizetype JisPrefixLength(QStringView text, qsizetype maxBytes) {
    constexpr qsizetype EscapesOfARun = 6; // ESC $ B before it, ESC ( B after it
    qsizetype bytes = 0;
    qsizetype length = 0;
    for (; length < text.size(); ++length) {
        const bool twoByte = text[length].unicode() >= 0x80;
        const bool opensRun = twoByte && (length == 0 || text[length - 1].unicode() < 0x80);
        bytes += twoByte ? 2 + (opensRun ? EscapesOfARun : 0) : 1;
        if (bytes > maxBytes)
            break;
    }
    return text.isEmpty() ? 0 : std::max<qsizetype>(length, 1);
}
