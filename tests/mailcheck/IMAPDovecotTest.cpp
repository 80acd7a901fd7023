// The IMAP client against a real server: a private Dovecot on 127.0.0.1 speaking IMAP in
// plain text, after STARTTLS and in TLS from the first byte, with certificates made by openssl.
#include "WiredIMAP.h"

#include "settings/CMailAccount.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/TestCertificates.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Header = "From: bob@example.net\r\nSubject: CAM one\r\n\r\n";

class IMAPDovecot : public ::testing::Test {
  protected:
    void SetUp() override {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed";
        QString problem;
        ASSERT_TRUE(certificates.Make(problem)) << problem.toStdString();
        certificates.Trust();
        server.OfferTls(certificates.CertFile(TestCertificates::Trusted), certificates.KeyFile());
        server.OfferImap();
        ASSERT_TRUE(server.Start({{"alice", "secret"}}, problem)) << problem.toStdString();
    }
    // A client logged in to alice's INBOX over security.
    void LogIn(WiredIMAP& client, int security) {
        ASSERT_TRUE(client.Connect(
            security == SecurityTls ? server.ImapTlsPort() : server.ImapPort(), security));
        ASSERT_TRUE(client.imap.Login(QStringLiteral("alice"), QStringLiteral("secret")));
        ASSERT_TRUE(client.imap.Select(QStringLiteral("INBOX")));
    }
    QList<quint32> Search(WiredIMAP& client, const QByteArray& criteria) {
        QList<quint32> uids;
        EXPECT_TRUE(client.imap.UidSearch(criteria, uids)) << criteria.toStdString();
        return uids;
    }

    ScratchProgramFolder folder; // the activity log
    TestCertificates certificates;
    DovecotServer server;
};

} // namespace

TEST_F(IMAPDovecot, ReadsAHeaderWithoutMarkingItSeenInEachSecurityMode) {
    ASSERT_TRUE(server.Deliver("alice", Header + "body\r\n"));
    for (const int security : {SecurityNone, SecurityStartTls, SecurityTls}) {
        SCOPED_TRACE(testing::Message() << "security " << security);
        WiredIMAP client;
        LogIn(client, security);
        EXPECT_EQ(client.sock.IsEncrypted(), security != SecurityNone);
        EXPECT_TRUE(client.imap.HasCapability("IDLE"));
        EXPECT_NE(client.imap.UidValidity(), 0u);
        EXPECT_EQ(client.imap.Exists(), 1u);
        EXPECT_TRUE(client.imap.KeywordsAllowed());
        const QList<quint32> uids = Search(client, "UNANSWERED");
        ASSERT_EQ(uids.size(), 1);
        QByteArray header;
        QList<QByteArray> flags;
        ASSERT_TRUE(client.imap.UidFetchHeader(uids[0], header, flags));
        EXPECT_EQ(header, Header);
        EXPECT_FALSE(HasFlag(flags, "\\Seen"));
        EXPECT_EQ(Search(client, "SEEN"), QList<quint32>());
        EXPECT_FALSE(client.imap.UidFetchHeader(uids[0] + 100, header, flags));
        EXPECT_TRUE(client.imap.InStep());
        EXPECT_TRUE(client.imap.Logout());
    }
}

TEST_F(IMAPDovecot, WrongPasswordIsRefusedAndTheSessionGoesOn) {
    WiredIMAP client;
    ASSERT_TRUE(client.Connect(server.ImapPort()));
    EXPECT_FALSE(client.imap.Login(QStringLiteral("alice"), QStringLiteral("wrong")));
    EXPECT_TRUE(client.imap.InStep());
    EXPECT_TRUE(client.imap.Login(QStringLiteral("alice"), QStringLiteral("secret")));
}

TEST_F(IMAPDovecot, FlagsAreSeenByASecondClientAndExpungeTakesOnlyThatUid) {
    for (const char* subject : {"a", "b", "c"})
        ASSERT_TRUE(server.Deliver("alice", "Subject: " + QByteArray(subject) + "\r\n\r\nx\r\n"));
    WiredIMAP camera, other;
    LogIn(camera, SecurityNone);
    LogIn(other, SecurityNone);
    const QList<quint32> uids = Search(camera, "ALL");
    ASSERT_EQ(uids.size(), 3);
    EXPECT_TRUE(camera.imap.UidStoreFlags(uids[0], "\\Answered"));
    EXPECT_TRUE(camera.imap.UidStoreFlags(uids[1], "$VistrelSkipped"));
    // A mail program marks another message \Deleted meanwhile: only ours goes.
    EXPECT_TRUE(other.imap.UidStoreFlags(uids[2], "\\Deleted"));
    EXPECT_TRUE(camera.imap.UidStoreFlags(uids[0], "\\Deleted"));
    bool othersMarked = true;
    EXPECT_TRUE(camera.imap.UidExpunge(uids[0], othersMarked));
    EXPECT_FALSE(othersMarked);
    EXPECT_EQ(server.StoredCount("alice"), 2);
    WiredIMAP later;
    LogIn(later, SecurityNone);
    EXPECT_EQ(Search(later, "ALL"), (QList<quint32>{uids[1], uids[2]}));
    EXPECT_EQ(Search(later, "KEYWORD $VistrelSkipped"), QList<quint32>{uids[1]});
    EXPECT_EQ(Search(later, "DELETED"), QList<quint32>{uids[2]});
}

TEST_F(IMAPDovecot, IdleReportsAMailDeliveredMeanwhile) {
    WiredIMAP client;
    LogIn(client, SecurityStartTls);
    EXPECT_FALSE(client.imap.TakeNewMail());
    ASSERT_TRUE(client.imap.Idle());
    ASSERT_TRUE(server.Deliver("alice", Header));
    EXPECT_TRUE(PumpUntil([&client] { return client.imap.PollIdle() && client.imap.TakeNewMail(); },
                          10000));
    EXPECT_TRUE(client.imap.Done());
    EXPECT_EQ(Search(client, "UNANSWERED").size(), 1);
}
