#pragma once
// The half-width mapping that prepares a subject for the prefix test, and the full-width
// mapping of katakana that prepares mail text for JIS X 0208.
#include <QString>

// Full-width Latin letters, digits and symbols (U+FF01 to U+FF5E) and the ideographic space
// become ASCII; full-width katakana and the Japanese punctuation of the half-width katakana
// block become half-width katakana, a voiced or semi-voiced letter becoming its plain letter
// followed by the separate half-width mark. Every other character stays as it is.
QString ToHalfWidth(const QString& text);

// Half-width katakana and punctuation (U+FF61 to U+FF9F) become their full-width forms; a
// letter followed by a half-width voiced or semi-voiced mark becomes the one voiced letter
// (ｶﾞ gives ガ, ｳﾞ gives ヴ) unless JIS X 0208 lacks it (ﾜﾞ gives ワ゛). A mark after anything
// else becomes the spacing mark ゛ or ゜. Every other character stays as it is.
QString ToFullWidthKana(const QString& text);
