// The client against scripted loopback servers on the fake clock: whole exchanges, refusals at
// every step, silent, split, closing and cancelled conversations, and exact time-outs.
#include "reply/SMTPReply.h"
#include "tests/support/FakeClock.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/WiredClients.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {

const QString Host = QStringLiteral("127.0.0.1");
const QString From = QStringLiteral("cam@example.com");
const QString To = QStringLiteral("bob@example.net");
const QString Head = QStringLiteral("Subject: photo\r\nFrom: cam@example.com\r\n");
const QString Body = QStringLiteral("line 1\r\n.\r\n.note\r\n");
// The DATA block as the server hears it, line by line.
const QStringList DataLines{
    "Subject: photo", "From: cam@example.com", "", "line 1", "..", "..note", "."};

struct WiredSMTP : WiredClients {
    bool Connect(int port) { return smtp.Connect(Host, port); }
    bool Send() { return smtp.Sendmail(From, To, Head, Body); }
    SocketControl& sock = sckSMTP;
};

// The commands of a whole exchange, as the server hears them.
QStringList Exchange() {
    return QStringList{"HELO [127.0.0.1]", "MAIL FROM:<cam@example.com>",
                       "RCPT TO:<bob@example.net>", "DATA"} +
           DataLines;
}

} // namespace

TEST(SMTPConversation, AWholeExchangeSendsTheDotStuffedMessage) {
    FakeClock clock;
    ScriptedServer server({Say("220 test ready\r\n"), Hear(), Say("250 hello\r\n"), Hear(),
                           Say("250 sender ok\r\n"), Hear(), Say("251 will forward\r\n"), Hear(),
                           Say("354 go ahead\r\n"), HearUntil("."), Say("250 queued\r\n"), Hear(),
                           Say("221 bye\r\n")});
    WiredSMTP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    // The caller's step before the message runs once, when the recipient is accepted and DATA
    // not yet sent.
    QStringList heardBeforeMessage;
    int beforeMessage = 0;
    EXPECT_TRUE(client.smtp.Sendmail(From, To, Head, Body, [&] {
        ++beforeMessage;
        heardBeforeMessage = server.Heard();
        return true;
    }));
    EXPECT_EQ(beforeMessage, 1);
    EXPECT_EQ(heardBeforeMessage, Exchange().mid(0, 3));
    client.smtp.Quit();
    EXPECT_EQ(server.Heard(), Exchange() + QStringList{"QUIT"});
    EXPECT_TRUE(server.Finished());
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
}

TEST(SMTPConversation, ARefusalAtAnyStepEndsTheExchangeWithQuitAndOnlyA5yzOfTheMessageIsFinal) {
    // How far each exchange gets: the replies before the refused one.
    const std::vector<std::pair<const char*, int>> steps = {
        {"接続", 0}, {"HELO", 1}, {"MAIL FROM", 2}, {"RCPT TO", 3}, {"DATA", 4}, {"メール本文", 5}};
    const QByteArray positive[] = {"220 ready\r\n", "250 hello\r\n", "250 ok\r\n", "250 ok\r\n",
                                   "354 go\r\n"};
    for (const auto& [step, accepted] : steps) {
        for (const QByteArray refusal : {"421 closing\r\n", "450 busy\r\n", "451 later\r\n",
                                         "550 no\r\n", "554 refused\r\n"}) {
            FakeClock clock;
            std::vector<ScriptStep> script;
            for (int i = 0; i < accepted; ++i) {
                script.push_back(Say(positive[i]));
                script.push_back(i < 4 ? Hear() : HearUntil("."));
            }
            script.insert(script.end(), {Say(refusal), Hear(), Say("221 bye\r\n")});
            ScriptedServer server(std::move(script));
            WiredSMTP client;
            ASSERT_TRUE(client.Connect(server.Port()));
            EXPECT_FALSE(client.Send()) << step << " " << refusal.constData();
            const QStringList commands = Exchange();
            QStringList expected = accepted <= 4 ? commands.mid(0, accepted) : commands;
            expected << QStringLiteral("QUIT");
            EXPECT_EQ(server.Heard(), expected) << step << " " << refusal.constData();
            EXPECT_TRUE(server.Finished()) << step;
            // The log names the step and gives the server's words.
            EXPECT_EQ(client.smtp.LastFailure(), QStringLiteral("SMTPサーバーが") +
                                                     QString::fromUtf8(step) +
                                                     QStringLiteral("を受け付けませんでした: ") +
                                                     QString::fromLatin1(refusal.trimmed()))
                << step;
            EXPECT_EQ(client.sock.State(), SocketControl::sckClosed) << step;
            // Sending the same again cannot pass a permanent refusal of the sender, the
            // recipient or the message; anything else may pass later.
            const bool final = refusal.startsWith('5') && accepted >= 2;
            EXPECT_EQ(client.smtp.LastOutcome(),
                      final ? SendOutcome::Refused : SendOutcome::NotSent)
                << step << " " << refusal.constData();
        }
    }
}

TEST(SMTPConversation, AFinalReplyIsAwaitedTenMinutesThenTheMessageCountsAsGone) {
    // RFC 5321 section 4.5.3.2.6: a shorter wait than the server's makes copies.
    for (const int lateMs : {9 * 60 * 1000, 11 * 60 * 1000}) {
        FakeClock clock;
        ScriptedServer server({Say("220 ready\r\n"), Hear(), Say("250 hello\r\n"), Hear(),
                               Say("250 ok\r\n"), Hear(), Say("250 ok\r\n"), Hear(),
                               Say("354 go\r\n"), HearUntil("."), Pause(lateMs),
                               Say("250 queued\r\n")});
        WiredSMTP client;
        client.smtp.SetTimeout(2);
        ASSERT_TRUE(client.Connect(server.Port()));
        const bool inTime = lateMs < FinalReplySeconds * 1000;
        EXPECT_EQ(client.Send(), inTime) << lateMs;
        EXPECT_EQ(client.smtp.LastOutcome(), inTime ? SendOutcome::Sent : SendOutcome::Unconfirmed)
            << lateMs;
    }
    // Lost before anything of the message went out: not sent at all.
    FakeClock clock;
    ScriptedServer server({Say("220 ready\r\n"), Hear(), Say("250 hello\r\n"), Hear(),
                           Say("250 ok\r\n"), Hear(), Say("250 ok\r\n"), Hear(), Say("354 go\r\n"),
                           Hangup()});
    WiredSMTP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    EXPECT_FALSE(client.Send());
    EXPECT_EQ(client.smtp.LastOutcome(), SendOutcome::NotSent);
}

TEST(SMTPConversation, ASilentServerFailsAfterExactlyTheTimeOut) {
    FakeClock clock;
    ScriptedServer server({});
    WiredSMTP client;
    client.smtp.SetTimeout(5);
    ASSERT_TRUE(client.Connect(server.Port()));
    const int64_t connected = clock.ElapsedMs();
    EXPECT_FALSE(client.Send());
    EXPECT_EQ(clock.ElapsedMs() - connected, 5000);
    // Nothing was sent to a server that never greeted, and the connection is dropped.
    EXPECT_EQ(server.Heard(), QStringList());
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
}

TEST(SMTPConversation, AServerThatFallsSilentAfterHeloIsDroppedWithoutQuit) {
    FakeClock clock;
    ScriptedServer server({Say("220 ready\r\n"), Hear()});
    WiredSMTP client;
    client.smtp.SetTimeout(2.5f);
    ASSERT_TRUE(client.Connect(server.Port()));
    const int64_t connected = clock.ElapsedMs();
    EXPECT_FALSE(client.Send());
    // The greeting comes within a few polls; HELO's wait takes the whole time-out.
    EXPECT_GE(clock.ElapsedMs() - connected, 2500);
    EXPECT_LE(clock.ElapsedMs() - connected, 2600);
    EXPECT_EQ(server.Heard(), QStringList{"HELO [127.0.0.1]"});
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
}

TEST(SMTPConversation, ARefusedConnectionFailsBeforeTheTimeOut) {
    FakeClock clock;
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    WiredSMTP client;
    client.smtp.SetTimeout(30);
    EXPECT_FALSE(client.Connect(port));
    EXPECT_LT(clock.ElapsedMs(), 30000);
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
    // Ports outside 1 to 65535 fail at once.
    const int64_t before = clock.ElapsedMs();
    EXPECT_FALSE(client.Connect(0));
    EXPECT_FALSE(client.Connect(65536));
    EXPECT_FALSE(client.Connect(-25));
    EXPECT_EQ(clock.ElapsedMs(), before);
}

TEST(SMTPConversation, AMultiLineReplyInPiecesIsOneReply) {
    FakeClock clock;
    // Taken piece by piece, the HELO reply would answer MAIL and RCPT too, and DATA would get
    // MAIL's "250" instead of its "354".
    ScriptedServer server({Say("220-test.example ESMTP\r\n"), Pause(50), Say("220 ready\r\n"),
                           Hear(), Say("250-test.example greets 127.0.0.1\r\n"), Pause(100),
                           Say("250-SIZE 1000000\r"), Pause(100), Say("\n250 HE"), Pause(100),
                           Say("LP\r\n"), Hear(), Say("250 ok\r\n"), Hear(), Say("250 ok\r\n"),
                           Hear(), Say("354 go\r\n"), HearUntil("."),
                           Say("250-queued\r\n250 as 1\r\n")});
    WiredSMTP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    EXPECT_TRUE(client.Send());
    EXPECT_EQ(server.Heard(), Exchange());
}

TEST(SMTPConversation, AReplyThatNeverEndsIsGivenUpAtItsLimit) {
    FakeClock clock;
    QByteArray flood;
    while (flood.size() <= MaxSMTPReplyLength)
        flood += "250-and more and more and more and more and more and more and more\r\n";
    ScriptedServer server({Say("220 ready\r\n"), Hear(), Say(flood)});
    WiredSMTP client;
    client.smtp.SetTimeout(20);
    ASSERT_TRUE(client.Connect(server.Port()));
    const int64_t connected = clock.ElapsedMs();
    EXPECT_FALSE(client.Send());
    EXPECT_LT(clock.ElapsedMs() - connected, 20000);
    // Nothing that arrived counts as a reply, so the server is not told QUIT either.
    EXPECT_EQ(server.Heard(), QStringList{"HELO [127.0.0.1]"});
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
}

TEST(SMTPConversation, AServerThatClosesInTheMiddleOfDataFailsAtOnce) {
    FakeClock clock;
    ScriptedServer server({Say("220 ready\r\n"), Hear(), Say("250 hello\r\n"), Hear(),
                           Say("250 ok\r\n"), Hear(), Say("250 ok\r\n"), Hear(), Say("354 go\r\n"),
                           Hear(), Hangup()});
    WiredSMTP client;
    client.smtp.SetTimeout(20);
    ASSERT_TRUE(client.Connect(server.Port()));
    const int64_t connected = clock.ElapsedMs();
    EXPECT_FALSE(client.Send());
    EXPECT_LT(clock.ElapsedMs() - connected, 20000);
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
    EXPECT_FALSE(server.Heard().contains(QStringLiteral("QUIT")));
}

TEST(SMTPConversation, ATimeOutOfZeroEndsEveryWaitAtItsFirstLook) {
    FakeClock clock;
    ScriptedServer server({Pause(100), Say("220 late\r\n"), Hear(), Say("250 hello\r\n")});
    WiredSMTP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    client.smtp.SetTimeout(0);
    int64_t start = clock.ElapsedMs();
    EXPECT_FALSE(client.Send());
    EXPECT_EQ(clock.ElapsedMs() - start, 50); // one poll period
    EXPECT_EQ(server.Heard(), QStringList());

    // A greeting already in the buffer is taken; HELO's reply is not there yet.
    ScriptedServer second({Hear(), Say("250 hello\r\n")});
    client.smtp.SetTimeout(10);
    ASSERT_TRUE(client.Connect(second.Port()));
    client.smtp.SetTimeout(0);
    client.smtp.Notify_DataArrival(QStringLiteral("220 ready\r\n"));
    start = clock.ElapsedMs();
    EXPECT_FALSE(client.Send());
    EXPECT_EQ(clock.ElapsedMs() - start, 50);
    EXPECT_TRUE(PumpUntil([&] { return !second.Heard().isEmpty(); }));
    EXPECT_EQ(second.Heard(), QStringList{"HELO [127.0.0.1]"});

    // Connect itself gives up at its first look.
    ScriptedServer third({});
    EXPECT_FALSE(client.Connect(third.Port()));
}

TEST(SMTPConversation, CancelEndsTheWaitAndStaysSetUntilConnectGivesUp) {
    FakeClock clock;
    ScriptedServer silent({});
    WiredSMTP client;
    client.smtp.SetTimeout(30);
    ASSERT_TRUE(client.Connect(silent.Port()));
    QObject context;
    const int64_t start = clock.ElapsedMs();
    RunAfter(300, &context, [&] { client.smtp.Cancel(); });
    EXPECT_FALSE(client.Send());
    EXPECT_EQ(clock.ElapsedMs() - start, 300);
    // The cancel is still set: the next wait ends at once, and Connect clears it.
    ScriptedServer server({Say("220 ready\r\n"), Hear(), Say("250 hello\r\n")});
    const int64_t again = clock.ElapsedMs();
    EXPECT_FALSE(client.Connect(server.Port()));
    EXPECT_LE(clock.ElapsedMs() - again, 50);
    ScriptedServer next({Say("220 ready\r\n"), Hear(), Say("250 hello\r\n"), Hear(),
                         Say("250 ok\r\n"), Hear(), Say("250 ok\r\n"), Hear(), Say("354 go\r\n"),
                         HearUntil("."), Say("250 queued\r\n")});
    ASSERT_TRUE(client.Connect(next.Port()));
    EXPECT_TRUE(client.Send());
}
