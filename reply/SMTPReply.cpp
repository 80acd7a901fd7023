#include "reply/SMTPReply.h"

#include "textenc/modConvBase64.h"

namespace {
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
} // namespace

qsizetype CompleteReplyLength(const QString& sBuffer) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype lineFeed = sBuffer.indexOf(u'\n', start);
        if (lineFeed < 0)
            return 0;
        const bool continued = lineFeed - start >= 4 && sBuffer[start + 3] == u'-';
        if (!continued)
            return lineFeed + 1;
        start = lineFeed + 1;
    }
}

bool IsCode250(const QString& sReply) {
    return sReply.size() >= 3 && sReply[0] == u'2' && IsDigit(sReply[1]) && IsDigit(sReply[2]);
}

bool IsPermanentFailure(const QString& sReply) {
    return sReply.size() >= 3 && sReply[0] == u'5' && IsDigit(sReply[1]) && IsDigit(sReply[2]);
}

bool IsCode354(const QString& sReply) {
    return sReply.startsWith(QStringLiteral("354"));
}

bool IsReplyCode(const QString& sReply, const char* sCode) {
    return sReply.startsWith(QLatin1String(sCode)) &&
           (sReply.size() == 3 || sReply[3] == u' ' || sReply[3] == u'-' || sReply[3] == u'\r');
}

namespace {
// The lines of a reply without their codes and line ends.
QStringList ReplyLines(const QString& sReply) {
    QStringList lines;
    for (const QString& line : sReply.split(u'\n', Qt::SkipEmptyParts)) {
        const QString text = line.endsWith(u'\r') ? line.chopped(1) : line;
        if (!text.isEmpty())
            lines << text.mid(4);
    }
    return lines;
}
} // namespace

QStringList EhloKeywords(const QString& sReply) {
    if (!IsReplyCode(sReply, "250"))
        return {};
    QStringList keywords;
    const QStringList lines = ReplyLines(sReply);
    for (qsizetype i = 1; i < lines.size(); ++i)
        keywords << lines[i].section(u' ', 0, 0).toUpper();
    return keywords;
}

QStringList AuthMechanisms(const QString& sReply) {
    if (!IsReplyCode(sReply, "250"))
        return {};
    const QStringList lines = ReplyLines(sReply);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList words = lines[i].toUpper().split(u' ', Qt::SkipEmptyParts);
        if (!words.isEmpty() && words.takeFirst() == QStringLiteral("AUTH"))
            return words;
    }
    return {};
}

QString ReplyText(const QString& sReply) {
    const qsizetype end = sReply.indexOf(u'\n');
    const QString line = end < 0 ? sReply : sReply.left(end);
    return line.endsWith(u'\r') ? line.chopped(1) : line;
}

QString PlainCredentials(const QString& sUser, const QString& sPassword) {
    return QString::fromLatin1(EncodeBase64(QByteArray(1, '\0') + sUser.toUtf8() +
                                            QByteArray(1, '\0') + sPassword.toUtf8()));
}
