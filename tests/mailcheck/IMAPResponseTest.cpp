#include "mailcheck/IMAPResponse.h"

#include <gtest/gtest.h>

namespace {

IMAPResponse Parsed(const QByteArray& bytes) {
    IMAPResponse response;
    EXPECT_TRUE(ParseResponse(bytes, response)) << bytes.toStdString();
    return response;
}

} // namespace

TEST(IMAPResponse, AResponseEndsAtTheLineEndAfterItsLastLiteral) {
    const struct {
        QByteArray buffer;
        qsizetype length;
    } cases[] = {
        {"* OK ready", 0},
        {"* OK ready\r", 0},
        {"* OK ready\r\na1 OK", 12},
        {"* 1 FETCH (BODY[HEADER] {5}\r\nab", 0},
        // The literal's octets may hold line ends; the response goes on after them.
        {"* 1 FETCH (BODY[HEADER] {5}\r\na\r\n\r\n)\r\nnext", 37},
        {"* 1 FETCH (BODY[HEADER] {5}\r\na\r\n\r\n)", 0},
        {"* 1 FETCH (X {0}\r\n Y {2+}\r\nab)\r\n", 32},
        // Braces that do not end the line announce nothing.
        {"* OK {5} later\r\n", 16},
        {"* OK {x}\r\n", 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompleteResponseLength(c.buffer), c.length) << c.buffer.toStdString();
}

TEST(IMAPResponse, AnEndlessLineOrAHugeLiteralIsOverlong) {
    EXPECT_FALSE(IsOverlongResponse(QByteArray(MaxIMAPLineLength, 'a')));
    EXPECT_TRUE(IsOverlongResponse(QByteArray(MaxIMAPLineLength + 1, 'a')));
    EXPECT_TRUE(IsOverlongResponse("* 1 FETCH (BODY[HEADER] {4294967295}\r\n"));
    // A long literal still coming is no long line.
    EXPECT_FALSE(IsOverlongResponse("* 1 FETCH (BODY[HEADER] {100000}\r\n" +
                                    QByteArray(MaxIMAPLineLength + 10, 'a')));
    EXPECT_FALSE(IsOverlongResponse("* OK\r\n" + QByteArray(MaxIMAPLineLength + 10, 'a')));
}

TEST(IMAPResponse, StatusResponsesGiveTagStatusCodeAndText) {
    const IMAPResponse tagged = Parsed("a12 OK [READ-WRITE] SELECT completed\r\n");
    EXPECT_EQ(tagged.kind, IMAPResponse::Tagged);
    EXPECT_EQ(tagged.tag, "a12");
    EXPECT_EQ(tagged.status, "OK");
    EXPECT_EQ(tagged.code, "READ-WRITE");
    EXPECT_EQ(tagged.text, "SELECT completed");
    EXPECT_TRUE(IsOKResponse(tagged));

    const IMAPResponse refused = Parsed("a1 no [AUTHENTICATIONFAILED] (bad) [x\r\n");
    EXPECT_EQ(refused.status, "NO");
    EXPECT_EQ(refused.code, "AUTHENTICATIONFAILED");
    EXPECT_EQ(refused.text, "(bad) [x");
    EXPECT_FALSE(IsOKResponse(refused));

    const IMAPResponse bye = Parsed("* BYE going\r\n");
    EXPECT_EQ(bye.kind, IMAPResponse::Untagged);
    EXPECT_EQ(bye.status, "BYE");

    const IMAPResponse more = Parsed("+ \r\n");
    EXPECT_EQ(more.kind, IMAPResponse::Continuation);
    EXPECT_EQ(Parsed("+ idling\r\n").text, "idling");
}

TEST(IMAPResponse, BrokenResponsesDoNotRead) {
    IMAPResponse response;
    for (const QByteArray& bytes :
         {QByteArray("* OK ready"), QByteArray("a1 FETCH (UID 1)\r\n"), QByteArray(" OK\r\n"),
          QByteArray("* 1 FETCH (UID 1\r\n"), QByteArray("* 1 FETCH (UID 1))\r\n"),
          QByteArray("* LIST \"abc\r\n"), QByteArray("* 1 FETCH (X {9}\r\nab)\r\n"),
          QByteArray("* OK [ALERT\r\n"), QByteArray("* OK a\r\n* OK b\r\n"),
          QByteArray("* SEARCH 1\r\nx\r\n"), QByteArray("a[1] OK\r\n"),
          QByteArray("* 1 FETCH ") + QByteArray(100, '(') + QByteArray(100, ')') + "\r\n"})
        EXPECT_FALSE(ParseResponse(bytes, response)) << bytes.toStdString();
}

TEST(IMAPResponse, CapabilitiesComeAloneOrInAStatusCode) {
    QSet<QByteArray> capabilities;
    ASSERT_TRUE(ReadCapabilities(Parsed("* CAPABILITY IMAP4rev1 idle STARTTLS AUTH=PLAIN\r\n"),
                                 capabilities));
    EXPECT_EQ(capabilities, (QSet<QByteArray>{"IMAP4REV1", "IDLE", "STARTTLS", "AUTH=PLAIN"}));
    ASSERT_TRUE(ReadCapabilities(
        Parsed("* OK [CAPABILITY IMAP4rev1 LITERAL+ SASL-IR] Dovecot ready.\r\n"), capabilities));
    EXPECT_EQ(capabilities, (QSet<QByteArray>{"IMAP4REV1", "LITERAL+", "SASL-IR"}));
    EXPECT_FALSE(ReadCapabilities(Parsed("* OK ready\r\n"), capabilities));
}

TEST(IMAPResponse, SelectGivesUidValidityExistsAndPermanentFlags) {
    quint32 number = 0;
    EXPECT_TRUE(ReadUidValidity(Parsed("* OK [UIDVALIDITY 3857529045] UIDs valid\r\n"), number));
    EXPECT_EQ(number, 3857529045u);
    EXPECT_FALSE(ReadUidValidity(Parsed("* OK [UIDVALIDITY 0] no\r\n"), number));
    EXPECT_FALSE(ReadUidValidity(Parsed("* OK [UIDVALIDITY 4294967296] no\r\n"), number));
    EXPECT_FALSE(ReadUidValidity(Parsed("* OK [UIDNEXT 4] next\r\n"), number));

    EXPECT_TRUE(ReadExists(Parsed("* 0 EXISTS\r\n"), number));
    EXPECT_EQ(number, 0u);
    EXPECT_TRUE(ReadExists(Parsed("* 172 exists\r\n"), number));
    EXPECT_EQ(number, 172u);
    EXPECT_FALSE(ReadExists(Parsed("* 3 RECENT\r\n"), number));

    bool allowed = false;
    EXPECT_TRUE(ReadKeywordsAllowed(
        Parsed("* OK [PERMANENTFLAGS (\\Answered \\Deleted \\*)] Limited\r\n"), allowed));
    EXPECT_TRUE(allowed);
    EXPECT_TRUE(ReadKeywordsAllowed(Parsed("* OK [PERMANENTFLAGS (\\Answered)] x\r\n"), allowed));
    EXPECT_FALSE(allowed);
    EXPECT_TRUE(ReadKeywordsAllowed(Parsed("* OK [PERMANENTFLAGS ()] x\r\n"), allowed));
    EXPECT_FALSE(allowed);
}

TEST(IMAPResponse, SearchGivesItsNumbers) {
    QList<quint32> numbers{9};
    EXPECT_TRUE(ReadSearch(Parsed("* SEARCH 2 84 882\r\n"), numbers));
    EXPECT_EQ(numbers, (QList<quint32>{2, 84, 882}));
    EXPECT_TRUE(ReadSearch(Parsed("* SEARCH\r\n"), numbers));
    EXPECT_TRUE(numbers.isEmpty());
    EXPECT_FALSE(ReadSearch(Parsed("* SEARCH 1 x\r\n"), numbers));
    EXPECT_FALSE(ReadSearch(Parsed("* SEARCH 0\r\n"), numbers));

    // IMAP4rev2 answers with ESEARCH: the ALL sequence set, ranges either way round.
    const struct {
        const char* response;
        bool read;
        QList<quint32> numbers;
    } esearch[] = {
        {"* ESEARCH (TAG \"V3\") UID ALL 4:6,9\r\n", true, {4, 5, 6, 9}},
        {"* ESEARCH (TAG \"V3\") UID ALL 3:1\r\n", true, {1, 2, 3}},
        {"* ESEARCH (TAG \"V3\") UID\r\n", true, {}},
        {"* ESEARCH UID COUNT 2 ALL 7,8\r\n", true, {7, 8}},
        {"* ESEARCH (TAG \"V3\") UID ALL 0:2\r\n", false, {}},
        {"* ESEARCH (TAG \"V3\") UID ALL\r\n", false, {}},
        {"* ESEARCH (TAG \"V3\") UID ALL 4:x\r\n", false, {}},
        // A hostile range is not expanded into gigabytes.
        {"* ESEARCH (TAG \"V3\") UID ALL 1:4294967295\r\n", false, {}},
    };
    for (const auto& c : esearch) {
        QList<quint32> found{99};
        EXPECT_EQ(ReadSearch(Parsed(c.response), found), c.read) << c.response;
        EXPECT_EQ(found, c.read ? c.numbers : QList<quint32>{99}) << c.response;
    }
}

TEST(IMAPResponse, FetchGivesUidFlagsAndTheHeaderLiteral) {
    IMAPFetch fetch;
    ASSERT_TRUE(ReadFetch(Parsed("* 12 FETCH (UID 7 FLAGS (\\Seen $VistrelSkipped) "
                                 "BODY[HEADER] {21}\r\nSubject: a\r\nTo: b\r\n\r\n)\r\n"),
                          fetch));
    EXPECT_EQ(fetch.sequence, 12u);
    EXPECT_EQ(fetch.uid, 7u);
    EXPECT_TRUE(fetch.hasFlags);
    EXPECT_EQ(fetch.flags, (QList<QByteArray>{"\\Seen", "$VistrelSkipped"}));
    EXPECT_TRUE(HasFlag(fetch.flags, "$vistrelskipped"));
    EXPECT_FALSE(HasFlag(fetch.flags, "\\Answered"));
    EXPECT_TRUE(fetch.hasHeader);
    EXPECT_EQ(fetch.header, "Subject: a\r\nTo: b\r\n\r\n");

    // A quoted header, a NIL one, and an update with flags alone.
    ASSERT_TRUE(ReadFetch(Parsed("* 1 FETCH (body[header] \"A: \\\"b\\\"\" UID 3)\r\n"), fetch));
    EXPECT_EQ(fetch.header, "A: \"b\"");
    EXPECT_EQ(fetch.uid, 3u);
    ASSERT_TRUE(ReadFetch(Parsed("* 1 FETCH (UID 4 BODY[HEADER] NIL)\r\n"), fetch));
    EXPECT_TRUE(fetch.hasHeader);
    EXPECT_TRUE(fetch.header.isEmpty());
    ASSERT_TRUE(ReadFetch(Parsed("* 2 FETCH (FLAGS (\\Answered))\r\n"), fetch));
    EXPECT_EQ(fetch.uid, 0u);
    EXPECT_FALSE(fetch.hasHeader);

    EXPECT_FALSE(ReadFetch(Parsed("* 2 FETCH (UID)\r\n"), fetch));
    EXPECT_FALSE(ReadFetch(Parsed("* 2 FETCH (UID x)\r\n"), fetch));
    EXPECT_FALSE(ReadFetch(Parsed("* 2 FETCH (FLAGS \\Seen)\r\n"), fetch));
    EXPECT_FALSE(ReadFetch(Parsed("* 2 FETCH UID 4\r\n"), fetch));
}

TEST(IMAPResponse, QuotedStringsEscapeOrGiveWayToLiterals) {
    QByteArray quoted;
    ASSERT_TRUE(QuotedString("pa\"ss\\word", quoted));
    EXPECT_EQ(quoted, "\"pa\\\"ss\\\\word\"");
    IMAPResponse echoed;
    ASSERT_TRUE(ParseResponse("* X " + quoted + "\r\n", echoed));
    EXPECT_EQ(echoed.values.at(0).text, "pa\"ss\\word");
    for (const QByteArray& value : {QByteArray("a\r\nb"), QByteArray("caf\xc3\xa9"),
                                    QByteArray(1, '\0'), QByteArray(1001, 'a')})
        EXPECT_FALSE(QuotedString(value, quoted));
}

TEST(IMAPResponse, MailboxNamesGoInModifiedUtf7) {
    EXPECT_EQ(MailboxNameUtf7(QStringLiteral("INBOX")), "INBOX");
    EXPECT_EQ(MailboxNameUtf7(QStringLiteral("a&b")), "a&-b");
    // RFC 3501 section 5.1.3's example.
    EXPECT_EQ(MailboxNameUtf7(QStringLiteral("~peter/mail/台北/日本語")),
              "~peter/mail/&U,BTFw-/&ZeVnLIqe-");
}
