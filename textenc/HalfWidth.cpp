#include "textenc/HalfWidth.h"

#include <cstddef>

namespace {

// The full-width forms of the half-width katakana block U+FF61 to U+FF9F, in its order.
constexpr char16_t FullWidthKana[] = u"。「」、・ヲァィゥェォャュョッー"
                                     u"アイウエオカキクケコサシスセソタチツテト"
                                     u"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
constexpr char16_t HalfWidthKanaFirst = 0xFF61;
constexpr char16_t HalfVoicedMark = 0xFF9E;
constexpr char16_t HalfSemiVoicedMark = 0xFF9F;
constexpr char16_t CombiningVoicedMark = 0x3099;
constexpr char16_t CombiningSemiVoicedMark = 0x309A;

static_assert(sizeof(FullWidthKana) / sizeof(char16_t) - 1 == 0xFF9F - 0xFF61 + 1);

// The half-width form of one full-width kana or mark, or 0 when it has none.
char16_t HalfKana(char16_t c) {
    if (c == CombiningVoicedMark)
        return HalfVoicedMark;
    if (c == CombiningSemiVoicedMark)
        return HalfSemiVoicedMark;
    for (std::size_t i = 0; FullWidthKana[i] != 0; ++i)
        if (FullWidthKana[i] == c)
            return static_cast<char16_t>(HalfWidthKanaFirst + i);
    return 0;
}

bool IsKatakana(char16_t c) {
    return c >= 0x30A1 && c <= 0x30FA;
}

// Appends the half-width form of a voiced or semi-voiced katakana (its canonical decomposition
// is the plain letter and a combining mark); false when c is not one or has no such form.
bool AppendVoicedKana(QString& out, QChar c) {
    if (!IsKatakana(c.unicode()) || c.decompositionTag() != QChar::Canonical)
        return false;
    const QString parts = c.decomposition();
    if (parts.size() != 2)
        return false;
    const char16_t letter = HalfKana(parts[0].unicode());
    const char16_t mark = HalfKana(parts[1].unicode());
    if (letter == 0 || mark == 0)
        return false;
    out.append(QChar(letter)).append(QChar(mark));
    return true;
}

} // namespace

QString ToHalfWidth(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E) {
            out.append(QChar(u - 0xFEE0));
        } else if (u == 0x3000) {
            out.append(u' ');
        } else if (const char16_t half = HalfKana(u)) {
            out.append(QChar(half));
        } else if (!AppendVoicedKana(out, c)) {
            out.append(c);
        }
    }
    return out;
}

QString ToFullWidthKana(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < HalfWidthKanaFirst || u > HalfSemiVoicedMark) {
            out.append(text[i]);
            continue;
        }
        const QChar full(FullWidthKana[u - HalfWidthKanaFirst]);
        const char16_t mark = i + 1 < text.size() ? text[i + 1].unicode() : 0;
        if (mark == HalfVoicedMark || mark == HalfSemiVoicedMark) {
            const QChar combining(mark == HalfVoicedMark ? CombiningVoicedMark
                                                         : CombiningSemiVoicedMark);
            const QString composed =
                (QString(full) + combining).normalized(QString::NormalizationForm_C);
            // ヷ to ヺ (U+30F7 to U+30FA) are not in JIS X 0208.
            if (composed.size() == 1 && composed[0].unicode() < 0x30F7) {
                out.append(composed);
                ++i;
                continue;
            }
        }
        out.append(full);
    }
    return out;
}
