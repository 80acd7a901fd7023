#pragma once
// The number boxes of the dialogs. A Japanese input method types full-width digits ("３０")
// unless told otherwise, so a box's text is folded to ASCII before it is read as a number.
class QLineEdit;
class QString;

// text with full-width digits, minus signs, plus sign and full stop as their ASCII twins;
// every other character as it is.
QString HalfWidthNumber(const QString& text);

// Reads the box's folded text as ReadParamNumber does (a signed 32-bit whole number, a fraction
// rounded ties to even); false, retValue unchanged, when it is no number.
bool ReadNumberBox(const QLineEdit* box, int& retValue);
