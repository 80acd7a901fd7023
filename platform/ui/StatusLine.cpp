#include "platform/ui/StatusLine.h"

#include <QPainter>
#include <QStyle>

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    // Log lines carry mail headers and server replies: markup in them is text, never styles,
    // pictures or files to load.
    setTextFormat(Qt::PlainText);
}

void StatusLine::SetLine(const QString& line) {
    setText(line);
    setToolTip(line);
}

QString StatusLine::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(),
                          QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), ShownText(), foregroundRole());
}
