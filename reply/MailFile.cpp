#include "reply/MailFile.h"

#include "platform/CodePage.h"
#include "platform/ReplaceFile.h"

#include <QFile>
#include <QFileInfo>

QString ReadFileAsText(const QString& path) {
    // A FIFO or a device could block the read or never end.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return FromCodePage932(file.readAll());
}

bool WriteTextFile(const QString& path, const QString& text) {
    return ReplaceFile(path, {ToCodePage932(text), QByteArrayView("\r\n")}, Durability::Scratch);
}

bool SplitMailFile(const QString& mail, QString& retHeader, QString& retBody) {
    const QString separator = QStringLiteral("\r\n\r\n");
    const qsizetype at = mail.indexOf(separator);
    if (at < 0)
        return false;
    retHeader = mail.left(at);
    retBody = mail.mid(at + separator.size());
    return true;
}
