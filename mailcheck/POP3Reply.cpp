#include "mailcheck/POP3Reply.h"

#include <QSet>
#include <algorithm>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Terminator = QStringLiteral("\r\n.\r\n");

// A message number or count: decimal digits only, within the signed 32-bit range.
bool ReadNumber(const QString& sField, int& retValue) {
    if (sField.isEmpty())
        return false;
    for (QChar c : sField)
        if (c < u'0' || c > u'9')
            return false;
    bool ok = false;
    const int value = sField.toInt(&ok, 10);
    if (ok)
        retValue = value;
    return ok;
}

// The reply without the line end of its (only) status line.
QString StatusLine(const QString& sReply) {
    const qsizetype end = sReply.indexOf(CrLf);
    return end < 0 ? sReply : sReply.left(end);
}

// Puts sValue at index n, growing the list with empty entries up to it.
bool StoreAt(const QString& sNumber, const QString& sValue, QStringList& retList) {
    int n = 0;
    if (!ReadNumber(sNumber, n) || n < 1 || n > MaxListNumber)
        return false;
    while (retList.size() <= n)
        retList.append(QString());
    retList[n] = sValue;
    return true;
}

// Where the status line's CR LF starts, looked for only as far as a status line may reach;
// -1 when it is not there.
qsizetype StatusLineEnd(const QString& sBuffer) {
    return QStringView(sBuffer).left(MaxStatusLineLength + CrLf.size()).indexOf(CrLf);
}

} // namespace

bool IsOverlongReply(const QString& sBuffer, ReplyMode mode) {
    if (StatusLineEnd(sBuffer) < 0)
        return sBuffer.size() > MaxStatusLineLength;
    return sBuffer.size() > MaxReplyLength(mode);
}

bool IsOK(const QString& sReply) {
    return sReply.left(3).toUpper() == QStringLiteral("+OK");
}

qsizetype CompleteReplyLength(const QString& sBuffer, ReplyMode mode, qsizetype nSearched) {
    const qsizetype lineEnd = StatusLineEnd(sBuffer);
    if (lineEnd < 0)
        return 0;
    if (mode == SingleLine || !IsOK(sBuffer))
        return lineEnd + CrLf.size();
    // A terminator that ends in the new text may begin in the searched part.
    const qsizetype from = std::max(lineEnd, nSearched - (Terminator.size() - 1));
    const qsizetype end = sBuffer.indexOf(Terminator, from);
    return end < 0 ? 0 : end + Terminator.size();
}

QString ChallengeOf(const QString& sGreeting) {
    const qsizetype open = sGreeting.indexOf(u'<');
    const qsizetype close = open < 0 ? -1 : sGreeting.indexOf(u'>', open);
    return close < 0 ? QString() : sGreeting.mid(open, close - open + 1);
}

bool ReadStatFields(const QString& sReply, int& retCount, int& retBytes) {
    if (!IsOK(sReply))
        return false;
    const QStringList fields = StatusLine(sReply).split(u' ');
    if (fields.size() < 3)
        return false;
    ReadNumber(fields[1], retCount);
    ReadNumber(fields[2], retBytes);
    return true;
}

bool ReadDataReply(const QString& sReply, QString& retData) {
    const qsizetype length = CompleteReplyLength(sReply, MultiLine);
    if (!IsOK(sReply) || length == 0)
        return false;
    // What follows the "." line is the next reply's.
    const qsizetype start = sReply.indexOf(CrLf) + CrLf.size();
    retData = sReply.mid(start, length - start);
    return true;
}

bool ReadListReply(const QString& sReply, QStringList& retList, bool& retWhole) {
    retList.clear();
    retWhole = false;
    if (!IsOK(sReply) || CompleteReplyLength(sReply, MultiLine) == 0)
        return false;
    const QStringList lines = sReply.split(CrLf);
    bool whole = true;
    QSet<int> seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i] == QStringLiteral(".")) {
            retWhole = whole;
            break;
        }
        const QStringList fields = lines[i].split(u' ');
        if (fields.size() < 2)
            break;
        // A number seen before would take the place of another message: the first stays.
        int n = 0;
        const bool fresh = ReadNumber(fields[0], n) && !seen.contains(n);
        if (fresh)
            seen.insert(n);
        whole = fresh && StoreAt(fields[0], fields[1], retList) && !fields[1].isEmpty() && whole;
    }
    return true;
}

bool IsStatusReply(const QString& sReply) {
    const QString status = sReply.left(4).toUpper();
    if (status.startsWith(QStringLiteral("+OK")))
        return status.size() == 3 || status[3] == u' ' || status[3] == u'\r';
    return status == QStringLiteral("-ERR") &&
           (sReply.size() == 4 || sReply[4] == u' ' || sReply[4] == u'\r');
}

bool ReadListingLine(const QString& sReply, QStringList& retList) {
    retList.clear();
    if (!IsOK(sReply))
        return false;
    const QStringList fields = StatusLine(sReply).split(u' ');
    return fields.size() >= 3 && StoreAt(fields[1], fields[2], retList);
}
