#include "mailcheck/POP3Reply.h"

#include <gtest/gtest.h>

TEST(POP3Reply, IsOKLooksAtTheFirstThreeCharactersInAnyCase) {
    EXPECT_TRUE(IsOK(QStringLiteral("+OK ready\r\n")));
    EXPECT_TRUE(IsOK(QStringLiteral("+ok\r\n")));
    EXPECT_TRUE(IsOK(QStringLiteral("+Ok")));
    EXPECT_FALSE(IsOK(QStringLiteral("-ERR no such message\r\n")));
    EXPECT_FALSE(IsOK(QString()));
    EXPECT_FALSE(IsOK(QStringLiteral("+O")));
    EXPECT_FALSE(IsOK(QStringLiteral(" +OK")));
}

TEST(POP3Reply, ACompleteReplyEndsAtItsLineEndOrItsDotLine) {
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK"), SingleLine), 0);
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK hi\r"), SingleLine), 0);
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK hi\r\n+OK next"), SingleLine), 8);

    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK\r\nSubject: a\r\n"), MultiLine), 0);
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK\r\na\r\n.\r"), MultiLine), 0);
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK\r\na\r\n.\r\n+OK"), MultiLine), 11);
    // A list with no entries: the terminator starts inside the status line's end.
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK\r\n.\r\n"), MultiLine), 8);
    // A dot-stuffed line is data, not the end.
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("+OK\r\n..\r\n"), MultiLine), 0);
    // No data follows a refusal, so waiting for a dot line would only end at the time-out.
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("-ERR no such message\r\n"), MultiLine), 22);
    EXPECT_EQ(CompleteReplyLength(QStringLiteral("-ERR no"), MultiLine), 0);
}

TEST(POP3Reply, TheChallengeIsTheFirstBracketedTimeStamp) {
    EXPECT_EQ(
        ChallengeOf(QStringLiteral("+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n")),
        QStringLiteral("<1896.697170952@dbc.mtview.ca.us>"));
    EXPECT_EQ(ChallengeOf(QStringLiteral("+OK a>b <x> <y>\r\n")), QStringLiteral("<x>"));
    EXPECT_EQ(ChallengeOf(QStringLiteral("+OK <>\r\n")), QStringLiteral("<>"));
    EXPECT_TRUE(ChallengeOf(QStringLiteral("+OK ready\r\n")).isEmpty());
    EXPECT_TRUE(ChallengeOf(QStringLiteral("+OK <unclosed\r\n")).isEmpty());
    EXPECT_TRUE(ChallengeOf(QStringLiteral("+OK > only\r\n")).isEmpty());
}

TEST(POP3Reply, StatGivesCountAndBytes) {
    int count = -1, bytes = -1;
    EXPECT_TRUE(ReadStatFields(QStringLiteral("+OK 2 320\r\n"), count, bytes));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(bytes, 320);

    // A field that is not a number leaves its output alone; the reply still counts.
    EXPECT_TRUE(ReadStatFields(QStringLiteral("+OK 5 lots\r\n"), count, bytes));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(bytes, 320);
    EXPECT_TRUE(ReadStatFields(QStringLiteral("+OK 99999999999 7 extra\r\n"), count, bytes));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(bytes, 7);

    count = bytes = -1;
    EXPECT_FALSE(ReadStatFields(QStringLiteral("-ERR not now\r\n"), count, bytes));
    EXPECT_FALSE(ReadStatFields(QStringLiteral("+OK 2\r\n"), count, bytes));
    EXPECT_FALSE(ReadStatFields(QString(), count, bytes));
    EXPECT_EQ(count, -1);
    EXPECT_EQ(bytes, -1);
}

TEST(POP3Reply, DataIsEverythingAfterTheStatusLineUpToTheDotLine) {
    QString data = QStringLiteral("unchanged");
    EXPECT_TRUE(ReadDataReply(QStringLiteral("+OK top\r\nSubject: a\r\n..dot\r\n\r\n.\r\n"), data));
    EXPECT_EQ(data, QStringLiteral("Subject: a\r\n..dot\r\n\r\n.\r\n"));
    // What follows the "." line is the next reply's.
    EXPECT_TRUE(ReadDataReply(QStringLiteral("+OK\r\na\r\n.\r\n+OK next\r\n"), data));
    EXPECT_EQ(data, QStringLiteral("a\r\n.\r\n"));

    data = QStringLiteral("unchanged");
    EXPECT_FALSE(ReadDataReply(QStringLiteral("-ERR no such message\r\n"), data));
    // Cut short by a time-out or a disconnect: not a message.
    EXPECT_FALSE(ReadDataReply(QStringLiteral("+OK\r\nSubject: a\r\n"), data));
    EXPECT_FALSE(ReadDataReply(QStringLiteral("+OK"), data));
    EXPECT_EQ(data, QStringLiteral("unchanged"));
}

TEST(POP3Reply, ListIsIndexedByMessageNumber) {
    QStringList list;
    bool whole = false;
    EXPECT_TRUE(ReadListReply(QStringLiteral("+OK\r\n1 abc\r\n2 def\r\n.\r\n"), list, whole));
    EXPECT_EQ(list, (QStringList{QString(), QStringLiteral("abc"), QStringLiteral("def")}));
    EXPECT_TRUE(whole);

    // Gaps (deleted messages) stay empty; the highest number sets the size.
    EXPECT_TRUE(
        ReadListReply(QStringLiteral("+OK 2 messages\r\n3 c\r\n1 a\r\n.\r\n"), list, whole));
    EXPECT_EQ(list, (QStringList{QString(), QStringLiteral("a"), QString(), QStringLiteral("c")}));
    EXPECT_TRUE(whole);

    EXPECT_TRUE(ReadListReply(QStringLiteral("+OK\r\n.\r\n"), list, whole));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(whole);
}

TEST(POP3Reply, AListWithALineItCannotUseIsReadButNotWhole) {
    // Only a whole list may tell which messages are gone from the server.
    const struct {
        const char* reply;
        QStringList list;
    } cases[] = {
        {"+OK\r\n0 zero\r\n-1 minus\r\nx y\r\n2 two\r\n99999999 huge\r\n1 one\r\nlonely\r\n3 "
         "late\r\n.\r\n",
         {QString(), "one", "two"}},
        {"+OK\r\n1 a\r\n2 b\r\nlonely\r\n3 c\r\n.\r\n", {QString(), "a", "b"}},
        {"+OK\r\n1 a\r\n1000001 b\r\n2 c\r\n.\r\n", {QString(), "a", "c"}},
        {"+OK\r\n1 a\r\n1 b\r\n2 c\r\n.\r\n", {QString(), "a", "c"}},
        {"+OK\r\n1 a\r\n2 \r\n3 c\r\n.\r\n", {QString(), "a", QString(), "c"}},
    };
    for (const auto& c : cases) {
        QStringList list;
        bool whole = true;
        EXPECT_TRUE(ReadListReply(QString::fromLatin1(c.reply), list, whole)) << c.reply;
        EXPECT_EQ(list, c.list) << c.reply;
        EXPECT_FALSE(whole) << c.reply;
    }
}

TEST(POP3Reply, ARefusedOrUnfinishedListGivesNothing) {
    QStringList list{QStringLiteral("old")};
    bool whole = true;
    EXPECT_FALSE(ReadListReply(QStringLiteral("-ERR not supported\r\n"), list, whole));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(whole);
    list = QStringList{QStringLiteral("old")};
    EXPECT_FALSE(ReadListReply(QStringLiteral("+OK\r\n1 abc\r\n2 de"), list, whole));
    EXPECT_TRUE(list.isEmpty());
}

TEST(POP3Reply, OnlyPlusOkAndMinusErrAreStatusReplies) {
    for (const char* reply : {"+OK\r\n", "+ok 2 320\r\n", "-ERR no\r\n", "-err\r\n", "+OK"})
        EXPECT_TRUE(IsStatusReply(QString::fromLatin1(reply))) << reply;
    for (const char* reply :
         {"", "\r\n", "From: a@b\r\n", ".\r\n", "+OKAY\r\n", "-ERROR\r\n", "1 abc\r\n", " +OK\r\n"})
        EXPECT_FALSE(IsStatusReply(QString::fromLatin1(reply))) << reply;
}

TEST(POP3Reply, OneListingGivesItsOneEntry) {
    QStringList list;
    EXPECT_TRUE(ReadListingLine(QStringLiteral("+OK 2 QhdPYR:00WBw1Ph7x7\r\n"), list));
    EXPECT_EQ(list, (QStringList{QString(), QString(), QStringLiteral("QhdPYR:00WBw1Ph7x7")}));
    EXPECT_FALSE(ReadListingLine(QStringLiteral("-ERR no such message\r\n"), list));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(ReadListingLine(QStringLiteral("+OK 2\r\n"), list));
    EXPECT_FALSE(ReadListingLine(QStringLiteral("+OK two 120\r\n"), list));
    EXPECT_TRUE(list.isEmpty());
}

TEST(POP3Reply, ASearchResumedAfterAnyIncompletePrefixFindsTheSameEnd) {
    // The wait resumes where the last incomplete look ended; a line end or terminator that
    // straddles that point must still be found.
    const QString replies[] = {QStringLiteral("+OK 2 320\r\n+OK next"),
                               QStringLiteral("+OK\r\n.\r\n"),
                               QStringLiteral("+OK top\r\nSubject: a\r\n\r\n..x\r\n.\r\nmore"),
                               QStringLiteral("-ERR no\r\n")};
    for (const QString& reply : replies) {
        for (ReplyMode mode : {SingleLine, MultiLine}) {
            const qsizetype whole = CompleteReplyLength(reply, mode);
            if (whole == 0) // a status line that a data reply has not finished
                continue;
            for (qsizetype split = 0; split < whole; ++split) {
                // Only a prefix that was itself incomplete can have been searched before.
                if (CompleteReplyLength(reply.left(split), mode) > 0)
                    continue;
                EXPECT_EQ(CompleteReplyLength(reply, mode, split), whole)
                    << reply.toStdString() << " split at " << split;
            }
        }
    }
}

TEST(POP3Reply, AReplyIsOverlongPastItsLimits) {
    const QString longLine(MaxStatusLineLength + 1, u'x');
    EXPECT_FALSE(IsOverlongReply(longLine.left(MaxStatusLineLength), SingleLine));
    EXPECT_TRUE(IsOverlongReply(longLine, SingleLine));
    // A data reply's status line has the same limit, whatever may follow it.
    EXPECT_TRUE(IsOverlongReply(longLine, MultiLine));
    const QString data = QStringLiteral("+OK\r\n") + longLine;
    EXPECT_FALSE(IsOverlongReply(data, MultiLine));
    EXPECT_TRUE(
        IsOverlongReply(QStringLiteral("+OK\r\n") + QString(MaxMultiLineLength, u'x'), MultiLine));
}
