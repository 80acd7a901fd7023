#include "mailcheck/RequestHeader.h"

#include "textenc/HalfWidth.h"

#include <QStringList>

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

bool IsOversizedHeader(const QString& header) {
    return header.size() > MaxHeaderLength || header.count(CrLf) > MaxHeaderLines;
}

QString UnfoldHeader(const QString& header) {
    // One pass that looks back after each removal, so that a line end that a removal brings
    // before a blank goes as well, in linear time.
    QString text;
    text.reserve(header.size());
    for (const QChar c : header) {
        if (IsBlank(c) && text.endsWith(CrLf))
            text.chop(CrLf.size());
        else
            text += c;
    }
    return text;
}

QList<HeaderField> RequestFields(const QString& unfoldedHeader) {
    QList<HeaderField> fields;
    for (const QString& line : unfoldedHeader.split(CrLf)) {
        if (line.isEmpty() || line == QStringLiteral("."))
            continue;
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QString name = line.left(colon);
        if (name == QStringLiteral("From") || name == QStringLiteral("To") ||
            name == QStringLiteral("Subject"))
            fields.append({name, TrimBlanks(line.mid(colon + 1))});
    }
    return fields;
}

QString ExtractAddress(const QString& headerValue) {
    const qsizetype open = headerValue.lastIndexOf(u'<');
    if (open < 0)
        return headerValue;
    const qsizetype close = headerValue.indexOf(u'>', open + 1);
    if (close < 0)
        return QString();
    return headerValue.mid(open + 1, close - open - 1);
}

bool HasSubjectPrefix(const QString& subject, const QString& prefix) {
    return ToHalfWidth(subject.left(prefix.size())) == prefix;
}
