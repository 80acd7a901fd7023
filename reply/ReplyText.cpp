#include "reply/ReplyText.h"

#include "platform/Clock.h"
#include "platform/Rounding.h"
#include "reply/Module1.h"
#include "textenc/EncodedWords.h"
#include "textenc/MailJis.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

UniformRandom& InstalledRandom() {
    static UniformRandom random;
    return random;
}

double DrawUniform() {
    const UniformRandom& random = InstalledRandom();
    return random ? random() : QRandomGenerator::global()->generateDouble();
}

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// "+hhmm" or "-hhmm" of an offset in seconds east of UTC.
QString ZoneText(int offsetSeconds) {
    const int minutes = std::abs(offsetSeconds) / 60;
    return (offsetSeconds < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           TwoDigits(minutes / 60) + TwoDigits(minutes % 60);
}

// RFC 5322 section 2.1.1: no line of a message may pass 998 characters.
constexpr qsizetype MaxLineBytes = 998;

// The body's lines in ISO-2022-JP: CR LF, a lone CR and a lone LF each end a line, and a line
// whose JIS form would pass MaxLineBytes is cut into lines that do not.
QStringList BodyLines(const QString& body) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString& line : body.split(lineEnd)) {
        const QString chars = ToJisRepertoire(line);
        qsizetype start = 0;
        do {
            const qsizetype length = JisPrefixLength(QStringView(chars).mid(start), MaxLineBytes);
            lines += QString::fromLatin1(TextToJis(chars.mid(start, length)));
            start += length;
        } while (start < chars.size());
    }
    return lines;
}

// Three numbers of six digits joined by "_", each r × 999999 rounded (halves to even).
QString RandomNumbers() {
    QString numbers;
    for (int i = 0; i < 3; ++i) {
        const auto number = static_cast<int>(RoundHalfEven(DrawUniform() * 999999));
        if (i > 0)
            numbers += u'_';
        numbers += QStringLiteral("%1").arg(std::clamp(number, 0, 999999), 6, 10, QLatin1Char('0'));
    }
    return numbers;
}

} // namespace

QString MakeBoundary() {
    return QStringLiteral("-----=_NextPart_") + RandomNumbers();
}

QString MakeMessageId(const QDateTime& moment, const QString& fromAddress) {
    // What may follow the "@" of a msg-id: a dot-atom of host name characters, or a literal.
    static const QRegularExpression domainForm(
        QStringLiteral("^(?:[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)*|\\[[\\x21-\\x5a\\x5e-\\x7e]*\\])$"));
    const qsizetype at = fromAddress.lastIndexOf(u'@');
    const QString domain = at < 0 ? QString() : fromAddress.mid(at + 1);
    if (!domainForm.match(domain).hasMatch())
        return {};
    return QStringLiteral("<%1.%2@%3>")
        .arg(QString::number(moment.toSecsSinceEpoch()), RandomNumbers(), domain);
}

UniformRandom SetBoundaryRandom(UniformRandom random) {
    return std::exchange(InstalledRandom(), std::move(random));
}

QString MakeMailDate(const QDateTime& moment) {
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = moment.date();
    const QTime time = moment.time();
    return QStringLiteral("%1, %2 %3 %4 %5:%6:%7 %8")
        .arg(QLatin1String(days[date.dayOfWeek() - 1]))
        .arg(date.day())
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(TwoDigits(time.hour()), TwoDigits(time.minute()), TwoDigits(time.second()),
             ZoneText(moment.offsetFromUtc()));
}

QString WrapLines(const QString& text, int width) {
    const qsizetype step = std::max(width, 1);
    QString out;
    out.reserve(text.size() + (text.size() / step + 1) * 2);
    for (qsizetype i = 0; i < text.size(); i += step) {
        out += QStringView(text).mid(i, step);
        out += QStringLiteral("\r\n");
    }
    return out;
}

bool AttachmentName(int formatType, QString& retSubtype, QString& retFileName) {
    static const char* const subtypes[] = {"jpeg", "png", "gif"};
    static const char* const extensions[] = {"jpg", "png", "gif"};
    if (formatType < 0 || formatType > 2)
        return false;
    retSubtype = QLatin1String(subtypes[formatType]);
    retFileName = QStringLiteral("capture.") + QLatin1String(extensions[formatType]);
    return true;
}

bool MakeReplyText(const CResAccount& setting, const QString& fromAddress, const QString& toAddress,
                   const QString& base64Block, QString& retText) {
    QString subtype, fileName;
    if (!AttachmentName(setting.FormatType, subtype, fileName))
        return false;
    const QDateTime now = LocalNow();
    const QString boundary = MakeBoundary();
    const QString messageId = MakeMessageId(now, fromAddress);
    const QString subjectName = QStringLiteral("Subject: ");
    ClearMailText();
    AddMailLine(QStringLiteral("From: ") + fromAddress);
    AddMailLine(QStringLiteral("To: ") + toAddress);
    AddMailLine(subjectName + EncodeHeaderText(setting.SendMail_Subject, subjectName.size()));
    AddMailLine(QStringLiteral("MIME-Version: 1.0"));
    AddMailLine(QStringLiteral("Content-Type: Multipart/Mixed; boundary=\"%1\"").arg(boundary));
    AddMailLine(QStringLiteral("Date: ") + MakeMailDate(now));
    if (!messageId.isEmpty())
        AddMailLine(QStringLiteral("Message-ID: ") + messageId);
    AddMailLine(QString());
    AddMailLine(QStringLiteral("--") + boundary);
    AddMailLine(QStringLiteral("Content-Type: text/plain; charset=ISO-2022-JP"));
    AddMailLine(QStringLiteral("Content-Transfer-Encoding: 7bit"));
    AddMailLine(QString());
    for (const QString& line : BodyLines(setting.SendMail_Body))
        AddMailLine(line);
    AddMailLine(QString());
    AddMailLine(QStringLiteral("--") + boundary);
    AddMailLine(QStringLiteral("Content-Type: image/%1;name=\"%2\"").arg(subtype, fileName));
    AddMailLine(QStringLiteral("Content-Transfer-Encoding: base64"));
    AddMailLine(QStringLiteral("Content-Disposition: attachment; filename=\"%1\"").arg(fileName));
    AddMailLine(QString());
    AddMailLine(base64Block);
    AddMailLine(QStringLiteral("--") + boundary + QStringLiteral("--"));
    retText = GetMailText();
    ClearMailText();
    return true;
}
