// Push over IMAP: IDLE held against the real Dovecot, a check started by a fresh connection
// and by each delivery, a server without IDLE left to the timer, and the backoff of a server
// that cannot be reached, on the fake clock.
#include "mailcheck/IMAPPush.h"

#include "platform/SocketControl.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/LogLines.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScratchProgramFolder.h"

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
