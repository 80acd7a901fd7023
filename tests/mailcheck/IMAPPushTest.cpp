// Push over IMAP: IDLE held against the real Dovecot, a check started by a fresh connection
// and by each delivery, a server without IDLE left to the timer, an IDLE connection the
// network drops, and on the fake clock the backoff of a server that cannot be reached and
// hours of IDLE renewed every 25 minutes.
#include "mailcheck/IMAPPush.h"

#include "platform/SocketControl.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/LogLines.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ProcessUsage.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/ScriptedServer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class IMAPPushTest : public ::testing::Test {
  protected:
    CMailAccount Account(int port) const {
        CMailAccount account;
        account.MailProtocol = ProtocolIMAP;
        account.POPHost = QStringLiteral("127.0.0.1");
        account.POPPort = port;
        account.UserName = QStringLiteral("alice");
        account.Password = QStringLiteral("secret");
        return account;
    }
    bool StartServer(bool noIdle) {
        if (DovecotServer::Program().isEmpty())
            return false;
        server.OfferImap(noIdle);
        QString problem;
        EXPECT_TRUE(server.Start({{"alice", "secret"}}, problem)) << problem.toStdString();
        return true;
    }

    ScratchProgramFolder folder; // the activity log
    DovecotServer server;
    SocketControl sock;
    int checks = 0;
    IMAPPush push{sock, [this] { return ++checks > 0; }};
};

} // namespace

TEST_F(IMAPPushTest, AConnectionAndEachDeliveryStartACheck) {
    if (!StartServer(false))
        GTEST_SKIP() << "dovecot is not installed";
    const CMailAccount account = Account(server.ImapPort());
    push.Tick(account);
    EXPECT_TRUE(push.Holding());
    EXPECT_EQ(checks, 1);
    for (int delivered = 1; delivered <= 2; ++delivered) {
        ASSERT_TRUE(server.Deliver("alice", "Subject: CAM\r\n\r\nx\r\n"));
        EXPECT_TRUE(PumpUntil([this, delivered] { return checks == 1 + delivered; }, 10000));
    }
    push.Stop();
    EXPECT_EQ(LoggedMessages(folder),
              (QStringList{"プッシュ受信を開始しました (INBOX)", "プッシュ受信を終了しました"}));
}

TEST_F(IMAPPushTest, AServerWithoutIdleIsLeftToTheTimer) {
    if (!StartServer(true))
        GTEST_SKIP() << "dovecot is not installed";
    push.Tick(Account(server.ImapPort()));
    EXPECT_FALSE(push.Holding());
    EXPECT_EQ(checks, 0);
    push.Tick(Account(server.ImapPort()));
    EXPECT_EQ(LoggedMessages(folder),
              QStringList{"IMAPサーバーがIDLEに対応していないため、プッシュ受信を使いません"});
}

TEST_F(IMAPPushTest, AnUnreachableServerIsTriedWithBackoffAndLoggedOnce) {
    FakeClock clock;
    const CMailAccount account = Account(FreeLoopbackPort());
    // An hour of ticks, one a second: attempts after 1, 2, 4 ... seconds, then every 5 minutes.
    QList<double> delays;
    for (int second = 0; second < 3600; ++second) {
        const double before = push.RetryDelay();
        push.Tick(account);
        if (push.RetryDelay() != before || delays.isEmpty())
            delays << push.RetryDelay();
        clock.Sleep(1000);
    }
    EXPECT_EQ(delays, (QList<double>{2, 4, 8, 16, 32, 64, 128, 256, 300}));
    EXPECT_FALSE(push.Holding());
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(LoggedMessages(folder), QStringList{"プッシュ受信の接続が切れました。再接続します"});
}

TEST_F(IMAPPushTest, ADroppedIdleConnectionIsOpenedAgainAndStartsACheck) {
    if (!StartServer(false))
        GTEST_SKIP() << "dovecot is not installed";
    // The network drops the first connection once the server has said "+ idling".
    FaultProxy proxy(server.ImapPort(), DropInReplyTo(" IDLE\r\n", 10));
    const CMailAccount account = Account(proxy.Port());
    push.Tick(account);
    EXPECT_TRUE(push.Holding());
    EXPECT_EQ(checks, 1);
    // Ticks as the main window's timer gives them: the drop is seen, and a second later the
    // connection is back and a check looks at what came meanwhile.
    ASSERT_TRUE(PumpUntil(
        [&] {
            push.Tick(account);
            return checks == 2;
        },
        10000));
    EXPECT_TRUE(proxy.Dropped());
    EXPECT_TRUE(push.Holding());
    ASSERT_TRUE(server.Deliver("alice", "Subject: CAM\r\n\r\nx\r\n"));
    EXPECT_TRUE(PumpUntil([this] { return checks == 3; }, 10000));
    EXPECT_EQ(LoggedMessages(folder),
              (QStringList{"プッシュ受信を開始しました (INBOX)",
                           "プッシュ受信の接続が切れました。再接続します",
                           "IMAPサーバーに再接続しました。プッシュ受信を再開します"}));
}

TEST_F(IMAPPushTest, IdleIsRenewedEvery25MinutesForHoursWithoutGrowth) {
    FakeClock clock;
    constexpr int Renewals = 12; // five hours
    // The server says it is still there every two minutes, as Dovecot does during IDLE.
    std::vector<ScriptStep> script{
        Say("* OK [CAPABILITY IMAP4rev1 LITERAL+ IDLE] ready\r\n"),
        Hear(),
        Say("V1 OK [CAPABILITY IMAP4rev1 LITERAL+ IDLE] in\r\n"),
        Hear(),
        Say("* 0 EXISTS\r\n* OK [UIDVALIDITY 7] ok\r\nV2 OK [READ-WRITE] selected\r\n"),
        Hear(),
        Say("+ idling\r\n")};
    QStringList expected{"V1 LOGIN \"alice\" \"secret\"", "V2 SELECT \"INBOX\"", "V3 IDLE"};
    for (int renewal = 0; renewal < Renewals; ++renewal) {
        for (int still = 0; still < 12; ++still) {
            script.push_back(Pause(2 * 60 * 1000));
            script.push_back(Say("* OK Still here\r\n"));
        }
        const QByteArray tag = "V" + QByteArray::number(3 + renewal);
        script.insert(script.end(),
                      {Hear(), Say(tag + " OK Idle completed.\r\n"), Hear(), Say("+ idling\r\n")});
        expected << "DONE"
                 << "V" + QString::number(4 + renewal) + " IDLE";
    }
    ScriptedServer server(script);
    const CMailAccount account = Account(server.Port());
    QList<int> renewedAtMinute;
    double megabytes = 0;
    int descriptors = 0;
    for (int second = 0; second <= Renewals * 25 * 60 + 59; ++second) {
        const qsizetype heard = server.Heard().size();
        push.Tick(account);
        QCoreApplication::processEvents();
        // Not the first IDLE, which the connection's own tick sends.
        if (heard > 0 && server.Heard().size() > heard && server.Heard().last().endsWith("IDLE"))
            renewedAtMinute << second / 60;
        if (renewedAtMinute.size() == 1 && megabytes == 0) {
            megabytes = ResidentMegabytes();
            descriptors = OpenDescriptors();
        }
        clock.Sleep(1000);
    }
    QList<int> every25Minutes;
    for (int renewal = 1; renewal <= Renewals; ++renewal)
        every25Minutes << renewal * 25;
    EXPECT_EQ(renewedAtMinute, every25Minutes);
    EXPECT_EQ(server.Heard(), expected);
    EXPECT_TRUE(push.Holding());
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    if (ResidentMemoryShowsGrowth) {
        EXPECT_LT(ResidentMegabytes() - megabytes, 1.0);
    }
    EXPECT_EQ(LoggedMessages(folder), QStringList{"プッシュ受信を開始しました (INBOX)"});
}
