#include "textenc/MailCharset.h"

#include "platform/CodePage.h"
#include "textenc/modConvXJIS.h"

#include <QStringList>

namespace {

bool IsOneOf(const QString& name, const QStringList& names) {
    return names.contains(name, Qt::CaseInsensitive);
}

} // namespace

bool CharsetToText(const QByteArray& bytes, const QString& sCharset, QString& retText) {
    static const QStringList jis = {QStringLiteral("ISO-2022-JP"), QStringLiteral("csISO2022JP")};
    static const QStringList sjis = {
        QStringLiteral("Shift_JIS"),   QStringLiteral("Shift-JIS"), QStringLiteral("SJIS"),
        QStringLiteral("x-sjis"),      QStringLiteral("MS_Kanji"),  QStringLiteral("csShiftJIS"),
        QStringLiteral("Windows-31J"), QStringLiteral("CP932"),     QStringLiteral("MS932")};
    static const QStringList utf8 = {QStringLiteral("UTF-8"), QStringLiteral("UTF8")};
    static const QStringList latin1 = {QStringLiteral("US-ASCII"),   QStringLiteral("ASCII"),
                                       QStringLiteral("ISO-8859-1"), QStringLiteral("ISO_8859-1"),
                                       QStringLiteral("Latin1"),     QStringLiteral("ISO8859-1")};
    if (IsOneOf(sCharset, jis))
        retText = FromCodePage932(JisToSjis(bytes));
    else if (IsOneOf(sCharset, sjis))
        retText = FromCodePage932(bytes);
    else if (IsOneOf(sCharset, utf8))
        retText = QString::fromUtf8(bytes);
    else if (IsOneOf(sCharset, latin1))
        retText = QString::fromLatin1(bytes);
    else
        return false;
    return true;
}
