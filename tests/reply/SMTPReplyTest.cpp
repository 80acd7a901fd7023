// The SMTP texts without a socket: when a reply is complete, which codes pass, the DATA block
// and the checks on what goes into a command.
#include "reply/SMTPReply.h"
#include "reply/CSMTP.h"
#include "reply/SMTPData.h"

#include <gtest/gtest.h>

TEST(SMTPReply, AReplyIsCompleteAtItsLastLine) {
    struct Case {
        const char* buffer;
        qsizetype length;
    };
    const Case cases[] = {
        {"", 0},
        {"250 ok", 0},
        {"250 ok\r", 0},
        {"250 ok\r\n", 8},
        {"250\r\n", 5},
        {"250 ok\n", 7}, // a bare LF ends a line as well
        {"250-first\r\n", 0},
        {"250-first\r\n250-second\r\n", 0},
        {"250-first\r\n250-second\r\n250 last\r\n", 33},
        {"250-first\r\n250 last\r\n354 next\r\n", 21}, // what follows belongs to the next reply
        {"250-first\r\n250 la", 0},
        {"250-\r\n250 \r\n", 12},
        {"25-x\r\n", 6}, // malformed, but a line all the same: the code test refuses it
        {"\r\n", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompleteReplyLength(QString::fromLatin1(c.buffer)), c.length) << c.buffer;
}

TEST(SMTPReply, PositiveCompletionIsAnyTwoHundredCode) {
    const std::pair<const char*, bool> code250[] = {
        {"250 ok\r\n", true},    {"251 forwarded\r\n", true},
        {"220 ready\r\n", true}, {"221 bye\r\n", true},
        {"250\r\n", true},       {"2", false},
        {"25", false},           {"2x0 ok\r\n", false},
        {"354 go\r\n", false},   {"450 later\r\n", false},
        {"550 no\r\n", false},   {"", false},
        {" 250 ok\r\n", false},
    };
    for (const auto& [reply, positive] : code250)
        EXPECT_EQ(IsCode250(QString::fromLatin1(reply)), positive) << reply;
    const std::pair<const char*, bool> code354[] = {
        {"354 go ahead\r\n", true},
        {"354\r\n", true},
        {"250 ok\r\n", false},
        {"35", false},
        {"", false},
        {"554 no\r\n", false},
    };
    for (const auto& [reply, invited] : code354)
        EXPECT_EQ(IsCode354(QString::fromLatin1(reply)), invited) << reply;
}

TEST(SMTPData, EveryLineThatBeginsWithADotGetsOneMore) {
    struct Case {
        const char* head;
        const char* body;
        const char* block;
    };
    const Case cases[] = {
        {"Subject: a", "text\r\n", "Subject: a\r\n\r\ntext\r\n.\r\n"},
        // A head with or without its last CR LF gives the same block.
        {"Subject: a\r\n", "text\r\n", "Subject: a\r\n\r\ntext\r\n.\r\n"},
        {"Subject: a", "text", "Subject: a\r\n\r\ntext\r\n.\r\n"},
        {"S: a", ".\r\n.note\r\n..two\r\nx.\r\n",
         "S: a\r\n\r\n..\r\n..note\r\n...two\r\nx.\r\n.\r\n"},
        {".head", "body", "..head\r\n\r\nbody\r\n.\r\n"},
        // Lone CRs and LFs end lines, so no "." line hides behind one.
        {"S: a", "x\n.\ny\r.\rz", "S: a\r\n\r\nx\r\n..\r\ny\r\n..\r\nz\r\n.\r\n"},
        {"S: a", "x\r\n\r\n", "S: a\r\n\r\nx\r\n\r\n.\r\n"},
        {"", "", "\r\n\r\n.\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataBlock(QString::fromLatin1(c.head), QString::fromLatin1(c.body)),
                  QString::fromLatin1(c.block))
            << c.body;
}

TEST(SMTPData, CommandArgumentsAndAddressesThatCouldSmuggleACommandAreRefused) {
    const std::pair<const char*, bool> arguments[] = {
        {"smtp.example.com", true}, {"a b", true},     {"", true},
        {"host\r\nRSET", false},    {"host\n", false}, {"host\r", false},
    };
    for (const auto& [argument, safe] : arguments)
        EXPECT_EQ(IsSafeCommandArgument(QString::fromLatin1(argument)), safe) << argument;
    EXPECT_FALSE(IsSafeCommandArgument(QStringLiteral("a") + QChar(0)));
    // The raw-byte form of the code page turns back into its byte: U+F70A is an LF on the wire.
    EXPECT_FALSE(IsSafeCommandArgument(QStringLiteral("a") + QChar(0xF70A)));

    const std::pair<const char*, bool> addresses[] = {
        {"bob@example.net", true},
        {"bob.smith+cam@example.net", true},
        {"", false},
        {"bob@example.net\r\nRCPT TO:<eve@example.org>", false},
        {"bob smith@example.net", false},
        {"<bob@example.net>", false},
        {"bob@example.net>", false},
        {"bob\t@example.net", false},
        {"bob\x7f@example.net", false},
        {"bob\x1b@example.net", false},
    };
    for (const auto& [address, safe] : addresses)
        EXPECT_EQ(IsSafeMailAddress(QString::fromLatin1(address)), safe) << address;
    EXPECT_FALSE(IsSafeMailAddress(QStringLiteral("bob@example.net") + QChar(0)));
    EXPECT_FALSE(IsSafeMailAddress(QStringLiteral("bob") + QChar(0xF70D) + QStringLiteral("@x")));
    // Nothing outside printable ASCII: the message is 7bit.
    for (const char* utf8 : {"太郎@example.jp", "bob@exämple.net", "bob\u00a0@example.net"})
        EXPECT_FALSE(IsSafeMailAddress(QString::fromUtf8(utf8))) << utf8;
    EXPECT_FALSE(IsSafeMailAddress(QStringLiteral("bob") + QChar(0xF780) + QStringLiteral("@x")));
}

TEST(SMTPData, AnAddressHostIsGreetedWithItsLiteral) {
    const std::pair<const char*, const char*> hosts[] = {
        {"127.0.0.1", "[127.0.0.1]"},
        {"192.0.2.10", "[192.0.2.10]"},
        {"::1", "[IPv6:::1]"},
        {"2001:DB8::5", "[IPv6:2001:db8::5]"},
        {"fe80::1%eth0", "[IPv6:fe80::1]"},
        {"mail.example.com", "mail.example.com"},
        {"localhost", "localhost"},
        {"1.2.3.4.example", "1.2.3.4.example"},
    };
    for (const auto& [host, argument] : hosts)
        EXPECT_EQ(HeloArgument(QString::fromLatin1(host)), QString::fromLatin1(argument)) << host;
}

TEST(SMTPData, MakeHeadWritesItsLinesAndRefusesInjectedValues) {
    EXPECT_EQ(CSMTP::MakeHead(QStringLiteral("photo"), QStringLiteral("cam@example.com"),
                              QStringLiteral("bob@example.net"), QString(), QString(), QString()),
              QStringLiteral("Subject: photo\r\nFrom: cam@example.com\r\nTo: bob@example.net\r\n"
                             "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n"
                             "Content-Transfer-Encoding: 7bit\r\nMIME-Version: 1.0\r\n"));
    EXPECT_EQ(CSMTP::MakeHead(QString::fromUtf8("あ"), QStringLiteral("a@x"), QStringLiteral("b@y"),
                              QStringLiteral("text/html"), QStringLiteral("base64"),
                              QStringLiteral("vistrel101")),
              QStringLiteral("Subject: =?ISO-2022-JP?B?GyRCJCIbKEI=?=\r\nFrom: a@x\r\nTo: b@y\r\n"
                             "Content-Type: text/html\r\nContent-Transfer-Encoding: base64\r\n"
                             "MIME-Version: 1.0\r\nX-Mailer: vistrel101\r\n"));
    EXPECT_EQ(CSMTP::MakeHead(QStringLiteral("x"), QStringLiteral("a@x\r\nBcc: e@z"),
                              QStringLiteral("b@y"), QString(), QString(), QString()),
              QString());
    EXPECT_EQ(CSMTP::MakeHead(QStringLiteral("x"), QStringLiteral("a@x"), QStringLiteral("b@y"),
                              QString(), QString(), QStringLiteral("m\r\nBcc: e@z")),
              QString());
    // A subject with a line end is encoded, so it cannot add a header line.
    const QString head = CSMTP::MakeHead(QStringLiteral("x\r\nBcc: e@z"), QStringLiteral("a@x"),
                                         QStringLiteral("b@y"), QString(), QString(), QString());
    EXPECT_FALSE(head.contains(QStringLiteral("\r\nBcc")));
    EXPECT_TRUE(head.startsWith(QStringLiteral("Subject: =?ISO-2022-JP?B?")));
}
