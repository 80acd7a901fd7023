// Reading a request's header, and the check's list of concluded messages, without sockets.
#include "mailcheck/RequestHeader.h"
#include "mailcheck/ReceivedUidls.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(RequestHeader, UnfoldingJoinsFoldedLinesWithoutTheFoldingCharacter) {
    const struct {
        const char* header;
        const char* unfolded;
    } cases[] = {
        {"Subject: C\r\n AM photo\r\n", "Subject: CAM photo\r\n"},
        {"Subject: =?UTF-8?B?QQ==?=\r\n\t=?UTF-8?B?Qg==?=\r\n",
         "Subject: =?UTF-8?B?QQ==?==?UTF-8?B?Qg==?=\r\n"},
        {"To: a@x,\r\n  b@y\r\n", "To: a@x, b@y\r\n"}, // one blank goes with the line end
        {"From: a@x\r\nTo: b@y\r\n", "From: a@x\r\nTo: b@y\r\n"},
        {"Subject: a\r\n\t\r\n b\r\n", "Subject: ab\r\n"},
        // A line end that a removal brings before a blank goes too.
        {"Subject: a\r\r\n\t\n\tb\r\n", "Subject: ab\r\n"},
        {"Subject: a\r\n\r\n  b\r\n", "Subject: ab\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnfoldHeader(QString::fromUtf8(c.header)), QString::fromUtf8(c.unfolded))
            << c.header;
}

TEST(RequestHeader, FieldsAreTheThreeNamesInHeaderOrderWithTrimmedValues) {
    const QString header = QStringLiteral("Received: from x by y\r\n"
                                          "From:  \"Bob\" <bob@example.net> \r\n"
                                          "from: eve@example.com\r\n"
                                          "FROM: eve@example.com\r\n"
                                          "Subject:\tCAM: two colons\t\r\n"
                                          "Subject : spaced name\r\n"
                                          "no colon here\r\n"
                                          "To:cam@example.com\r\n"
                                          "\r\n.\r\n");
    const QList<HeaderField> fields = RequestFields(header);
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0].Name, QStringLiteral("From"));
    EXPECT_EQ(fields[0].Value, QStringLiteral("\"Bob\" <bob@example.net>"));
    EXPECT_EQ(fields[1].Name, QStringLiteral("Subject"));
    EXPECT_EQ(fields[1].Value, QStringLiteral("CAM: two colons"));
    EXPECT_EQ(fields[2].Name, QStringLiteral("To"));
    EXPECT_EQ(fields[2].Value, QStringLiteral("cam@example.com"));
    EXPECT_TRUE(RequestFields(QStringLiteral("\r\n.\r\n")).isEmpty());
    // An empty value is still a field: the check logs it and passes the message over.
    const QList<HeaderField> empty = RequestFields(QStringLiteral("Subject:\r\n"));
    ASSERT_EQ(empty.size(), 1);
    EXPECT_EQ(empty[0].Value, QString());
}

TEST(RequestHeader, ExtractAddressTakesTheLastAngleBrackets) {
    const struct {
        const char* value;
        const char* address;
    } cases[] = {
        {"\"Bob\" <bob@example.net>", "bob@example.net"},
        {"bob@example.net", "bob@example.net"},
        {"\"a <b>\" <c@example.org>", "c@example.org"},
        {"Bob <bob@example.net", ""},
        {"<bob@example.net> <", ""},
        {"<>", ""},
        {"Bob <bob@example.net> (home)", "bob@example.net"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractAddress(QString::fromUtf8(c.value)), QString::fromUtf8(c.address))
            << c.value;
}

TEST(RequestHeader, ThePrefixTestMapsTheCutToHalfWidth) {
    const struct {
        const char* subject;
        const char* prefix;
        bool matches;
    } cases[] = {
        {"CAM please", "CAM", true},
        {"cam please", "CAM", false},
        {"ＣＡＭ お願い", "CAM", true},
        {"CA", "CAM", false},
        {"CAM", "CAM", true},
        {"ガCAM", "ｶﾞ", false}, // one character is cut, though it maps to two
        {"ガCAM", "ｶﾞC", false},
        {"カメラ", "ｶﾒﾗ", true},
        {"カメラ", "カメラ", false}, // a full-width prefix never matches
        {"　CAM", " CA", true},      // the ideographic space
        {"", "CAM", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasSubjectPrefix(QString::fromUtf8(c.subject), QString::fromUtf8(c.prefix)),
                  c.matches)
            << c.subject << " / " << c.prefix;
}

TEST(RequestHeader, OversizedHeadersAreThosePastEitherBound) {
    EXPECT_FALSE(IsOversizedHeader(QString(MaxHeaderLength, u'a')));
    EXPECT_TRUE(IsOversizedHeader(QString(MaxHeaderLength + 1, u'a')));
    EXPECT_FALSE(IsOversizedHeader(QStringLiteral("X: y\r\n").repeated(MaxHeaderLines)));
    EXPECT_TRUE(IsOversizedHeader(QStringLiteral("X: y\r\n").repeated(MaxHeaderLines + 1)));
}

TEST(ReceivedUidls, LookupsConclusionsAndTheServersList) {
    ReceivedUidls absent(std::nullopt);
    EXPECT_TRUE(absent.IsNewUidl(QStringLiteral("a")));
    EXPECT_FALSE(absent.Changed());
    EXPECT_EQ(absent.List(), std::nullopt);
    absent.KeepOnly({QString(), QStringLiteral("a")});
    EXPECT_FALSE(absent.Changed());

    ReceivedUidls received(
        QStringList{QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c")});
    EXPECT_FALSE(received.IsNewUidl(QStringLiteral("B")));
    EXPECT_TRUE(received.IsNewUidl(QStringLiteral("b")));  // exact case
    EXPECT_TRUE(received.IsNewUidl(QStringLiteral("a "))); // whole text
    received.Conclude(QStringLiteral("a"));
    received.Conclude(QString());
    EXPECT_FALSE(received.Changed());
    received.Conclude(QStringLiteral("d"));
    EXPECT_TRUE(received.Changed());
    EXPECT_FALSE(received.IsNewUidl(QStringLiteral("d")));
    received.Written();
    EXPECT_FALSE(received.Changed());

    // The list is indexed by message number; "a" and "c" have left the mailbox.
    received.KeepOnly({QString(), QStringLiteral("d"), QString(), QStringLiteral("B")});
    EXPECT_TRUE(received.Changed());
    EXPECT_EQ(received.List(), QStringList({QStringLiteral("B"), QStringLiteral("d")}));
    EXPECT_TRUE(received.IsNewUidl(QStringLiteral("a")));

    // A send the server did not accept takes its request out again; an unknown one is no change.
    received.Written();
    received.Forget(QStringLiteral("x"));
    EXPECT_FALSE(received.Changed());
    received.Forget(QStringLiteral("B"));
    EXPECT_TRUE(received.Changed());
    EXPECT_TRUE(received.IsNewUidl(QStringLiteral("B")));
    EXPECT_EQ(received.List(), QStringList({QStringLiteral("d")}));

    // A list that empties stays present, so that the rule file is written without entries.
    received.KeepOnly({});
    EXPECT_EQ(received.List(), QStringList());
}
