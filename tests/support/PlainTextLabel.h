#pragma once
// Whether a label shows markup in its text as the characters they are: it takes the size of a
// plain-text label with the same text and font. A label that reads the text as rich text draws
// the tags as styles or pictures instead, and takes another size.
#include <QLabel>

inline bool ShowsTextPlainly(const QLabel& label) {
    QLabel plain;
    plain.setTextFormat(Qt::PlainText);
    plain.setFont(label.font());
    plain.setWordWrap(label.wordWrap());
    plain.setText(label.text());
    return plain.sizeHint() == label.sizeHint();
}
