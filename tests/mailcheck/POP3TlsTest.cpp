// The client in TLS against a real POP3 server: a private Dovecot on 127.0.0.1 offering STLS on
// its plain port and TLS from the first byte on a second one, with certificates made by
// openssl for the test.
#include "WiredPOP3.h"

#include "mailcheck/CCryptMD5.h"
#include "settings/CMailAccount.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/LogLines.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestCertificates.h"

#include <gtest/gtest.h>

namespace {

class POP3Tls : public ::testing::Test {
  protected:
    void SetUp() override {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed (apt-get install dovecot-core dovecot-pop3d)";
        QString problem;
        ASSERT_TRUE(certificates.Make(problem)) << problem.toStdString();
        certificates.Trust();
    }

    // A server whose certificate is kind, with one mail for alice.
    void StartServer(TestCertificates::Kind kind) {
        server.OfferTls(certificates.CertFile(kind), certificates.KeyFile());
        QString problem;
        ASSERT_TRUE(server.Start({{"alice", "secret"}}, problem)) << problem.toStdString();
        ASSERT_TRUE(server.Deliver("alice", "Subject: hello\r\n\r\nbody\r\n"));
    }
    int PortFor(int security) const {
        return security == SecurityTls ? server.TlsPort() : server.Port();
    }

    ScratchProgramFolder folder; // the activity log
    TestCertificates certificates;
    DovecotServer server;
};

} // namespace

TEST_F(POP3Tls, LogsInWithUserPassAndApopInsideEachTlsMode) {
    StartServer(TestCertificates::Trusted);
    for (const int security : {SecurityStartTls, SecurityTls}) {
        for (const bool apop : {false, true}) {
            SCOPED_TRACE(testing::Message() << "security " << security << " apop " << apop);
            WiredPOP3 client;
            client.pop.Security(security, QString());
            QString challenge;
            ASSERT_TRUE(client.Connect(PortFor(security), challenge));
            EXPECT_TRUE(client.sock.IsEncrypted());
            EXPECT_EQ(client.pop.Certificate().Problem, TlsProblem::None);
            EXPECT_TRUE(client.pop.Certificate().Subject.contains(QStringLiteral("127.0.0.1")));
            ASSERT_FALSE(challenge.isEmpty());
            if (apop) {
                CCryptMD5 md5;
                ASSERT_TRUE(
                    client.pop.Login2(QStringLiteral("alice"),
                                      md5.DigestStrToHexStr(challenge + QStringLiteral("secret"))));
            } else {
                ASSERT_TRUE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
            }
            int count = -1, bytes = -1;
            EXPECT_TRUE(client.pop.CMD_STAT(count, bytes));
            EXPECT_EQ(count, 1);
            QString header;
            EXPECT_TRUE(client.pop.CMD_TOP(1, 0, header));
            EXPECT_TRUE(header.startsWith(QStringLiteral("Subject: hello\r\n")));
            client.pop.Quit();
            EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
        }
    }
    EXPECT_TRUE(LoggedMessages(folder).isEmpty());
}

TEST_F(POP3Tls, AnUnknownCaIsRefusedWithItsFingerprintUntilItIsPinned) {
    StartServer(TestCertificates::UnknownCa);
    const QString fingerprint = certificates.OpensslFingerprint(TestCertificates::UnknownCa);
    ASSERT_EQ(fingerprint.size(), 95) << fingerprint.toStdString(); // 32 hex pairs and colons
    const QString hex = fingerprint.toLower().remove(u':');
    for (const int security : {SecurityStartTls, SecurityTls}) {
        SCOPED_TRACE(testing::Message() << "security " << security);
        WiredPOP3 client;
        client.pop.Security(security, QString());
        QString challenge;
        EXPECT_FALSE(client.Connect(PortFor(security), challenge));
        EXPECT_EQ(client.pop.Certificate().Problem, TlsProblem::NotTrusted);
        EXPECT_EQ(client.pop.Certificate().Fingerprint, hex);
        const QString line = QStringLiteral("POP3サーバーとTLSで接続できませんでした: "
                                            "証明書の発行者が信頼されていません (SHA-256 ") +
                             hex + u')';
        EXPECT_EQ(client.pop.LastFailure(), line);
        EXPECT_EQ(LoggedMessages(folder).last(), line);
        // No login can follow on that connection.
        EXPECT_FALSE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
        client.pop.SockClose();

        // Pinned as the user would copy it from a tool's output: accepted.
        client.pop.Security(security, fingerprint);
        ASSERT_TRUE(client.Connect(PortFor(security), challenge));
        EXPECT_TRUE(client.sock.IsEncrypted());
        EXPECT_TRUE(client.pop.LastFailure().isEmpty());
        EXPECT_TRUE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
        client.pop.Quit();
    }
}

TEST_F(POP3Tls, APinAcceptsThatCertificateAloneAndAWrongHostNameIsRefused) {
    StartServer(TestCertificates::WrongHost);
    WiredPOP3 client;
    client.pop.Security(SecurityTls, QString());
    QString challenge;
    EXPECT_FALSE(client.Connect(server.TlsPort(), challenge));
    EXPECT_EQ(client.pop.Certificate().Problem, TlsProblem::WrongHostName);
    EXPECT_TRUE(client.pop.LastFailure().contains(QStringLiteral("ホスト名が一致しません")));
    client.pop.SockClose();

    // Another certificate's pin refuses even a certificate the roots would otherwise accept.
    client.pop.Security(SecurityTls, certificates.OpensslFingerprint(TestCertificates::UnknownCa));
    EXPECT_FALSE(client.Connect(server.TlsPort(), challenge));
    EXPECT_EQ(client.pop.Certificate().Problem, TlsProblem::WrongHostName);
    client.pop.SockClose();
    client.pop.Security(SecurityTls, certificates.OpensslFingerprint(TestCertificates::WrongHost));
    EXPECT_TRUE(client.Connect(server.TlsPort(), challenge));
    client.pop.Quit();
}

// A pin is the whole check: one that is another certificate's, or no fingerprint at all,
// refuses even a certificate the roots vouch for, and the refusal is logged.
TEST_F(POP3Tls, AServerTheRootsTrustIsRefusedByAnotherPinOrOneThatCannotBeRead) {
    StartServer(TestCertificates::Trusted);
    const struct {
        QString pin;
        TlsProblem problem;
    } cases[] = {
        {certificates.OpensslFingerprint(TestCertificates::UnknownCa), TlsProblem::NotPinned},
        {QStringLiteral("sha256 Fingerprint=AB:CD"), TlsProblem::UnreadablePin},
        {QStringLiteral("not a fingerprint"), TlsProblem::UnreadablePin},
    };
    for (const int security : {SecurityStartTls, SecurityTls}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "security " << security << " pin " << c.pin.toStdString());
            WiredPOP3 client;
            client.pop.Security(security, c.pin);
            QString challenge;
            EXPECT_FALSE(client.Connect(PortFor(security), challenge));
            EXPECT_EQ(client.pop.Certificate().Problem, c.problem);
            EXPECT_TRUE(LoggedMessages(folder).last().startsWith(
                QStringLiteral("POP3サーバーとTLSで接続できませんでした: ") +
                TlsProblemText(c.problem)));
            EXPECT_FALSE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
        }
    }
}

TEST_F(POP3Tls, ARequiredStlsThatIsNotOfferedFailsWithoutAPlainLogin) {
    // A real server without TLS refuses STLS: the client stops there.
    DovecotServer plain;
    QString problem;
    ASSERT_TRUE(plain.Start({{"alice", "secret"}}, problem)) << problem.toStdString();
    WiredPOP3 client;
    client.pop.Security(SecurityStartTls, QString());
    QString challenge;
    EXPECT_FALSE(client.Connect(plain.Port(), challenge));
    EXPECT_TRUE(client.pop.LastFailure().startsWith(
        QStringLiteral("POP3サーバーがSTLSを受け付けませんでした: -ERR")))
        << client.pop.LastFailure().toStdString();
    EXPECT_EQ(LoggedMessages(folder).last(), client.pop.LastFailure());
    EXPECT_FALSE(client.sock.IsEncrypted());
    client.pop.SockClose();

    // What goes over the wire: STLS and nothing after its refusal, not even when a login is
    // tried on the failed connection.
    ScriptedServer scripted({Say("+OK ready <1.2@host>\r\n"), Hear(), Say("-ERR no TLS here\r\n")});
    client.pop.TimeoutSecond(1);
    EXPECT_FALSE(client.Connect(scripted.Port(), challenge));
    EXPECT_TRUE(challenge.isEmpty());
    EXPECT_EQ(client.pop.LastFailure(),
              QStringLiteral("POP3サーバーがSTLSを受け付けませんでした: -ERR no TLS here"));
    client.pop.SockClose();
    EXPECT_FALSE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
    EXPECT_EQ(scripted.Heard(), QStringList{QStringLiteral("STLS")});
}
