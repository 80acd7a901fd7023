#include "reply/Module1.h"

namespace {
QString& MailText() {
    static QString text;
    return text;
}
} // namespace

void ClearMailText() {
    MailText().clear();
}

void AddMailLine(const QString& line) {
    MailText() += line;
    MailText() += QStringLiteral("\r\n");
}

QString GetMailText() {
    return MailText();
}
