#include "platform/SocketControl.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/TestCertificates.h"

#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

// A connected pair: the control under test and the server's end of the connection.
struct SocketFixture : testing::Test {
    QTcpServer server;
    SocketControl control;
    QTcpSocket* peer = nullptr;
    int closes = 0;
    QString received;

    void SetUp() override {
        control.onClose = [this] { ++closes; };
        control.onDataArrival = [this](qint64) {
            QString text;
            control.GetData(text);
            received += text;
        };
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        control.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        ASSERT_TRUE(PumpUntil([this] {
            return control.State() == SocketControl::sckConnected && server.hasPendingConnections();
        }));
        peer = server.nextPendingConnection();
    }
};

// A listener whose end of the connection can itself be upgraded to TLS, as a STARTTLS server's.
class StartTlsListener : public QTcpServer {
  public:
    QSslSocket* peer = nullptr;

  protected:
    void incomingConnection(qintptr descriptor) override {
        peer = new QSslSocket(this);
        peer->setSocketDescriptor(descriptor);
    }
};

} // namespace

TEST_F(SocketFixture, TextCrossesAsCodePage932Bytes) {
    ASSERT_TRUE(control.SendData(QStringLiteral("あA\r\n")));
    ASSERT_TRUE(PumpUntil([this] { return peer->bytesAvailable() >= 5; }));
    EXPECT_EQ(peer->readAll(), QByteArray("\x82\xa0"
                                          "A\r\n"));

    // A double-byte character cut in two by the network is joined again.
    peer->write("x\x82", 2);
    peer->flush();
    ASSERT_TRUE(PumpUntil([this] { return received == QStringLiteral("x"); }));
    peer->write("\xa0", 1);
    ASSERT_TRUE(PumpUntil([this] { return received.size() == 2; }));
    EXPECT_EQ(received, QStringLiteral("xあ"));
}

TEST_F(SocketFixture, PeerCloseRaisesTheCloseEventOnce) {
    peer->close();
    ASSERT_TRUE(PumpUntil([this] { return closes == 1; }));
    EXPECT_EQ(control.State(), SocketControl::sckClosing);
    EXPECT_FALSE(control.SendData(QStringLiteral("late")));
    control.Close();
    EXPECT_EQ(control.State(), SocketControl::sckClosed);
    EXPECT_EQ(closes, 1);
}

TEST_F(SocketFixture, OwnCloseRaisesNoCloseEvent) {
    control.Close();
    EXPECT_EQ(control.State(), SocketControl::sckClosed);
    ASSERT_TRUE(PumpUntil([this] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(closes, 0);
    control.Close(); // harmless when closed
    EXPECT_EQ(control.State(), SocketControl::sckClosed);
}

TEST(SocketControl, RefusedConnectionAndBadPortsEndInTheErrorState) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 freePort = probe.serverPort();
    probe.close();

    SocketControl control;
    control.Connect(QStringLiteral("127.0.0.1"), freePort);
    EXPECT_NE(control.State(), SocketControl::sckClosed);
    EXPECT_TRUE(PumpUntil([&] { return control.State() == SocketControl::sckError; }));

    for (int port : {0, -1, 65536}) {
        control.Connect(QStringLiteral("127.0.0.1"), port);
        EXPECT_EQ(control.State(), SocketControl::sckError) << port;
    }
}

TEST(SocketControl, NothingSentInPlainTextIsReadInsideTls) {
    TestCertificates certificates;
    QString problem;
    ASSERT_TRUE(certificates.Make(problem)) << problem.toStdString();
    certificates.Trust();
    // What a hostile server or a man in the middle sends right after "220 go" in the same
    // write, and whether the owner takes what arrives before it starts TLS.
    const std::pair<const char*, bool> cases[] = {
        {"250 injected\r\n", false},
        {"2", false},
        {"250 injected\r\n2\x82", true}, // half a double-byte character waits in the control
    };
    for (const auto& [injected, ownerReads] : cases) {
        StartTlsListener listener;
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        SocketControl control;
        QString received;
        qint64 waiting = 0;
        control.onDataArrival = [&, ownerReads = ownerReads](qint64 bytesTotal) {
            waiting = bytesTotal;
            QString text;
            if (ownerReads || control.IsEncrypted())
                control.GetData(text);
            received += text;
        };
        // A connection opened as plain stays plain; the next one of the same control may
        // be upgraded.
        control.Connect(QStringLiteral("127.0.0.1"), listener.serverPort());
        ASSERT_TRUE(PumpUntil([&] { return control.State() == SocketControl::sckConnected; }));
        EXPECT_FALSE(control.StartTls(QString()));
        listener.peer = nullptr;
        control.Connect(QStringLiteral("127.0.0.1"), listener.serverPort(), true);
        ASSERT_TRUE(PumpUntil([&] {
            return control.State() == SocketControl::sckConnected && listener.peer != nullptr;
        }));
        const QByteArray plain = QByteArray("220 go\r\n") + injected;
        listener.peer->write(plain);
        ASSERT_TRUE(PumpUntil([&] {
            return ownerReads ? received.size() == plain.size() - 1 : waiting == plain.size();
        })) << injected;

        received.clear();
        ASSERT_TRUE(control.StartTls(QString()));
        listener.peer->setLocalCertificate(certificates.CertFile(TestCertificates::Trusted));
        listener.peer->setPrivateKey(certificates.KeyFile(), QSsl::Ec);
        listener.peer->startServerEncryption();
        ASSERT_TRUE(PumpUntil([&] { return control.IsEncrypted(); })) << injected;
        listener.peer->write("250 real\r\n");
        ASSERT_TRUE(PumpUntil([&] { return received.endsWith(QStringLiteral("\r\n")); }));
        EXPECT_EQ(received, QStringLiteral("250 real\r\n")) << injected;
    }
}
