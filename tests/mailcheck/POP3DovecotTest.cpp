// The client against a real POP3 server: a private Dovecot on 127.0.0.1.
#include "WiredPOP3.h"

#include "mailcheck/CCryptMD5.h"
#include "platform/Clock.h"
#include "tests/support/DovecotServer.h"

#include <gtest/gtest.h>

namespace {

QByteArray Message(const QString& subject, const QString& body) {
    return QStringLiteral("From: requester@example.com\r\nTo: camera@example.com\r\n"
                          "Subject: %1\r\n\r\n%2\r\n")
        .arg(subject, body)
        .toLatin1();
}

class POP3Dovecot : public ::testing::Test {
  protected:
    void SetUp() override {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed (apt-get install dovecot-core dovecot-pop3d)";
        QString problem;
        ASSERT_TRUE(server.Start({{"alice", "secret"}, {"mrose", "tanstaaf"}}, problem))
            << problem.toStdString();
    }

    // Connects and logs in as alice with USER/PASS.
    void LogIn(WiredPOP3& client) {
        QString challenge;
        ASSERT_TRUE(client.Connect(server.Port(), challenge));
        ASSERT_TRUE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
    }

    DovecotServer server;
};

} // namespace

TEST_F(POP3Dovecot, LogsInWithUserAndPassAndRefusesAWrongPassword) {
    WiredPOP3 client;
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_TRUE(challenge.startsWith(u'<') && challenge.endsWith(u'>')) << challenge.toStdString();
    EXPECT_FALSE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("wrong")));
    EXPECT_TRUE(client.pop.Login(QStringLiteral("alice"), QStringLiteral("secret")));
    EXPECT_TRUE(client.pop.CMD_NOOP());
    client.pop.Quit();
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
}

TEST_F(POP3Dovecot, LogsInWithApopAndRefusesAWrongDigest) {
    WiredPOP3 client;
    // The account's default: a login that waited for an already taken greeting would show.
    client.pop.TimeoutSecond(30);
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    ASSERT_FALSE(challenge.isEmpty());
    CCryptMD5 md5;
    const double apopStart = SteadySeconds();
    EXPECT_FALSE(client.pop.Login2(QStringLiteral("mrose"),
                                   md5.DigestStrToHexStr(challenge + QStringLiteral("wrong"))));
    client.pop.Quit();

    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_TRUE(client.pop.Login2(QStringLiteral("mrose"),
                                  md5.DigestStrToHexStr(challenge + QStringLiteral("tanstaaf"))));
    // Two connections and logins, far inside one time-out (the figure goes to the report).
    const double apopSeconds = SteadySeconds() - apopStart;
    EXPECT_LT(apopSeconds, 10.0);
    RecordProperty("apop_two_logins_ms", static_cast<int>(apopSeconds * 1000));
    int count = -1, bytes = -1;
    EXPECT_TRUE(client.pop.CMD_STAT(count, bytes));
    EXPECT_EQ(count, 0);
    client.pop.Quit();
}

TEST_F(POP3Dovecot, ReadsCountsUniqueIdsAndHeaders) {
    const QStringList subjects{"first", "second", "third"};
    int total = 0;
    for (const QString& subject : subjects) {
        const QByteArray message = Message(subject, QStringLiteral("body of ") + subject);
        ASSERT_TRUE(server.Deliver(QStringLiteral("alice"), message));
        total += static_cast<int>(message.size());
    }
    WiredPOP3 client;
    LogIn(client);

    int count = -1, bytes = -1;
    ASSERT_TRUE(client.pop.CMD_STAT(count, bytes));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(bytes, total);

    QStringList uidls, one, sizes;
    ASSERT_TRUE(client.pop.CMD_UIDL(uidls, 0));
    ASSERT_EQ(uidls.size(), 4);
    EXPECT_TRUE(uidls[0].isEmpty());
    EXPECT_EQ(QSet<QString>(uidls.begin() + 1, uidls.end()).size(), 3);
    ASSERT_TRUE(client.pop.CMD_UIDL(one, 2));
    EXPECT_EQ(one, (QStringList{QString(), QString(), uidls[2]}));
    ASSERT_TRUE(client.pop.CMD_LIST(sizes, 0));
    ASSERT_EQ(sizes.size(), 4);

    QStringList seen;
    for (int n = 1; n <= 3; ++n) {
        QString header;
        ASSERT_TRUE(client.pop.CMD_TOP(n, 0, header));
        EXPECT_TRUE(header.startsWith(QStringLiteral("From: requester@example.com\r\n")));
        EXPECT_TRUE(header.endsWith(QStringLiteral("\r\n\r\n.\r\n")));
        EXPECT_FALSE(header.contains(QStringLiteral("body of")));
        const qsizetype at = header.indexOf(QStringLiteral("Subject: "));
        ASSERT_GE(at, 0);
        seen.append(header.mid(at + 9, header.indexOf(u'\r', at) - at - 9));

        QString whole;
        ASSERT_TRUE(client.pop.CMD_RETR(n, whole));
        EXPECT_TRUE(whole.endsWith(QStringLiteral("body of ") + seen.last() + "\r\n.\r\n"));
        EXPECT_EQ(QString::number(whole.size() - 3), sizes[n]); // less the dot line
    }
    seen.sort();
    EXPECT_EQ(seen, (QStringList{"first", "second", "third"}));
    QString missing = QStringLiteral("unchanged");
    EXPECT_FALSE(client.pop.CMD_TOP(9, 0, missing));
    EXPECT_EQ(missing, QStringLiteral("unchanged"));
    client.pop.Quit();
}

TEST_F(POP3Dovecot, DeleThenQuitRemovesTheMessageAndRsetKeepsIt) {
    ASSERT_TRUE(server.Deliver(QStringLiteral("alice"), Message("keep", "k")));
    ASSERT_TRUE(server.Deliver(QStringLiteral("alice"), Message("drop", "d")));
    {
        WiredPOP3 client;
        LogIn(client);
        EXPECT_TRUE(client.pop.CMD_DELE(1));
        EXPECT_TRUE(client.pop.CMD_RESET());
        client.pop.Quit();
    }
    EXPECT_EQ(server.StoredCount(QStringLiteral("alice")), 2);

    WiredPOP3 client;
    LogIn(client);
    EXPECT_TRUE(client.pop.CMD_DELE(2));
    EXPECT_FALSE(client.pop.CMD_DELE(2)); // already marked
    client.pop.Quit();
    EXPECT_EQ(server.StoredCount(QStringLiteral("alice")), 1);

    LogIn(client);
    int count = -1, bytes = -1;
    ASSERT_TRUE(client.pop.CMD_STAT(count, bytes));
    EXPECT_EQ(count, 1);
    client.pop.Quit();
}
