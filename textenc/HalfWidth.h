#pragma once
// The half-width mapping that prepares a subject for the prefix test.
#include <QString>

// Full-width Latin letters, digits and symbols (U+FF01 to U+FF5E) and the ideographic space
// become ASCII; full-width katakana and the Japanese punctuation of the half-width katakana
// block become half-width katakana, a voiced or semi-voiced letter becoming its plain letter
// followed by the separate half-width mark. Every other character stays as it is.
QString ToHalfWidth(const QString& text);
