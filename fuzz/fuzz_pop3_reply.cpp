// Server bytes through the POP3 reply reading: where a reply ends in either mode, searched in
// one go or resumed, the overlong test, the APOP time stamp and the STAT, data and list
// replies, with the properties each must keep.
#include "mailcheck/POP3Reply.h"
#include "platform/CodePage.h"

#include <QMap>
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Terminator = QStringLiteral("\r\n.\r\n");

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Where the status line's CR LF starts, -1 when it is missing or past the status line limit.
qsizetype StatusLineEnd(const QString& buffer) {
    const qsizetype end = buffer.indexOf(CrLf);
    return end <= MaxStatusLineLength ? end : -1;
}

QString StatusLine(const QString& reply) {
    const qsizetype end = reply.indexOf(CrLf);
    return end < 0 ? reply : reply.left(end);
}

// The value of a field of decimal digits only, -1 for any other field or one too long to read.
qlonglong NumberOf(const QString& field) {
    if (field.isEmpty() ||
        !std::all_of(field.begin(), field.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return -1;
    bool ok = false;
    const qlonglong value = field.toLongLong(&ok);
    return ok ? value : -1;
}

void CheckIsOK(const QString& reply) {
    const bool positive = reply.size() >= 3 && reply[0] == u'+' &&
                          (reply[1] == u'O' || reply[1] == u'o') &&
                          (reply[2] == u'K' || reply[2] == u'k');
    Check(IsOK(reply) == positive);
}

// A single-line reply (and a refusal in either mode) is its status line; a data reply runs to
// its first terminator. A buffer without a complete reply is overlong exactly past its limit,
// and a search resumed after any incomplete prefix ends where a whole search does.
void CheckReplyLength(const QString& buffer, ReplyMode mode, qsizetype cut) {
    const qsizetype length = CompleteReplyLength(buffer, mode);
    Check(length >= 0 && length <= buffer.size());
    const bool data = mode == MultiLine && IsOK(buffer);
    const qsizetype lineEnd = StatusLineEnd(buffer);
    if (length == 0) {
        Check(lineEnd < 0 || (data && !buffer.contains(Terminator)));
        const qsizetype limit = lineEnd < 0 ? MaxStatusLineLength : MaxReplyLength(mode);
        Check(IsOverlongReply(buffer, mode) == (buffer.size() > limit));
    } else if (data) {
        Check(lineEnd >= 0);
        Check(buffer.left(length).indexOf(Terminator) == length - Terminator.size());
    } else {
        Check(lineEnd == length - CrLf.size());
    }
    if (CompleteReplyLength(buffer.left(cut), mode) == 0)
        Check(CompleteReplyLength(buffer, mode, cut) == length);
}

// The time stamp runs from the first "<" to the first ">" after it.
void CheckChallenge(const QString& greeting) {
    const QString stamp = ChallengeOf(greeting);
    const qsizetype open = greeting.indexOf(u'<');
    if (stamp.isEmpty()) {
        Check(open < 0 || greeting.indexOf(u'>', open) < 0);
        return;
    }
    Check(stamp.startsWith(u'<') && stamp.endsWith(u'>') && stamp.count(u'>') == 1);
    Check(greeting.mid(open, stamp.size()) == stamp);
}

// A field of digits that fits gives its value; any other field leaves its output alone.
void CheckStatField(const QString& field, int value, int unchanged) {
    const qlonglong number = NumberOf(field);
    Check(value == (number >= 0 && number <= INT_MAX ? number : unchanged));
}

void CheckStatFields(const QString& reply) {
    const int unchanged = -1;
    int count = unchanged, bytes = unchanged;
    const bool read = ReadStatFields(reply, count, bytes);
    const QStringList fields = StatusLine(reply).split(u' ');
    Check(read == (IsOK(reply) && fields.size() >= 3));
    if (!read) {
        Check(count == unchanged && bytes == unchanged);
        return;
    }
    CheckStatField(fields[1], count, unchanged);
    CheckStatField(fields[2], bytes, unchanged);
}

// The data are what follows the status line of the complete reply: lines ending in the only
// terminator, which the status line's line end may begin.
void CheckDataReply(const QString& buffer, qsizetype complete) {
    const QString unchanged = QStringLiteral("unchanged");
    QString data = unchanged;
    const bool read = ReadDataReply(buffer, data);
    Check(read == (IsOK(buffer) && complete > 0));
    if (!read) {
        Check(data == unchanged);
        return;
    }
    const QString lines = CrLf + data;
    Check(lines.indexOf(Terminator) == lines.size() - Terminator.size());
    Check(StatusLine(buffer) + lines == buffer.left(complete));
}

// Each data line, read as a one-message listing, gives the entry the list holds at its
// number; the first line of a number wins, and the first line without a value ends the list.
// The list is whole when every line up to the "." gave a new number and a value. Whatever
// follows the reply changes nothing.
void CheckListReply(const QString& buffer, qsizetype complete) {
    QStringList list{QStringLiteral("old")};
    bool whole = true;
    const bool read = ReadListReply(buffer, list, whole);
    Check(read == (IsOK(buffer) && complete > 0));
    if (!read) {
        Check(list.isEmpty());
        return;
    }
    Check(list.size() <= MaxListNumber + 1 && (list.isEmpty() || list[0].isEmpty()));
    // The status line first, the "." line and what its line end leaves last.
    const QStringList lines = buffer.left(complete).split(CrLf);
    QMap<qsizetype, QString> expected;
    bool expectedWhole = true;
    qsizetype i = 1;
    for (; i + 2 < lines.size() && lines[i].contains(u' '); ++i) {
        QStringList listing;
        const bool fresh = ReadListingLine(QStringLiteral("+OK ") + lines[i] + CrLf, listing) &&
                           !expected.contains(listing.size() - 1);
        if (fresh)
            expected[listing.size() - 1] = listing.last();
        expectedWhole = expectedWhole && fresh && !listing.last().isEmpty();
    }
    // Read to the "." line: the one before the empty piece after its line end.
    Check(whole == (expectedWhole && i + 2 == lines.size()));
    Check(list.size() == (expected.isEmpty() ? 0 : expected.lastKey() + 1));
    for (qsizetype n = 0; n < list.size(); ++n)
        Check(list[n] == expected.value(n));
}

// One listing: its value at its number, every entry before it empty.
void CheckListingLine(const QString& reply) {
    QStringList list{QStringLiteral("old")};
    const bool read = ReadListingLine(reply, list);
    const QStringList fields = StatusLine(reply).split(u' ');
    const qlonglong number = fields.size() >= 3 ? NumberOf(fields[1]) : -1;
    Check(read == (IsOK(reply) && number >= 1 && number <= MaxListNumber));
    if (!read) {
        Check(list.isEmpty());
        return;
    }
    Check(list.size() == number + 1 && list.last() == fields[2]);
    for (qsizetype n = 0; n < number; ++n)
        Check(list[n].isEmpty());
}

void CheckBuffer(const QString& buffer, qsizetype cut) {
    CheckIsOK(buffer);
    for (ReplyMode mode : {SingleLine, MultiLine})
        CheckReplyLength(buffer, mode, cut);
    const qsizetype complete = CompleteReplyLength(buffer, MultiLine);
    CheckChallenge(buffer);
    CheckStatFields(buffer);
    CheckDataReply(buffer, complete);
    CheckListReply(buffer, complete);
    CheckListingLine(buffer);
}

// text at the end of a status line that has nearly reached its limit, so that a short input
// decides on which side of it the line ends.
QString NearTheLimit(const QString& text, bool positive) {
    QString status = positive ? QStringLiteral("+OK") : QStringLiteral("-ERR");
    status.resize(MaxStatusLineLength - 4, u' ');
    return status + text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = FromCodePage932(bytes);
    const std::uint8_t pick = bytes.isEmpty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
    const qsizetype cut = pick % (text.size() + 1);
    CheckBuffer(text, cut);
    CheckBuffer(QString::fromLatin1(bytes), cut);
    // A status line of the limit's length is costly to search, so one input in 16 gets one,
    // in one mode.
    if (pick % 16 == 0) {
        const QString buffer = NearTheLimit(text, pick & 16);
        const ReplyMode mode = pick & 32 ? MultiLine : SingleLine;
        CheckReplyLength(buffer, mode, buffer.size() - text.size() + cut);
    }
    return 0;
}
