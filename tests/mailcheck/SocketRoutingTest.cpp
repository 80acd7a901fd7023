#include "mailcheck/SocketRouting.h"
#include "platform/SocketControl.h"
#include "tests/support/PumpUntil.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

TEST(SocketRouting, DataIsTakenOnlyWhileConnected) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    SocketControl sock;
    qint64 arrived = 0;
    bool closed = false;
    sock.onDataArrival = [&](qint64 bytes) { arrived = bytes; };
    sock.onClose = [&] { closed = true; };
    sock.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
    ASSERT_TRUE(PumpUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(PumpUntil([&] { return sock.State() == SocketControl::sckConnected; }));

    peer->write("+OK ready\r\n");
    ASSERT_TRUE(PumpUntil([&] { return arrived > 0; }));
    QString text;
    ASSERT_TRUE(ReadArrivedData(sock, text));
    EXPECT_EQ(text, QStringLiteral("+OK ready\r\n"));

    // Data followed by the peer's close: once the socket is no longer connected it stays unread.
    peer->write("late\r\n");
    peer->disconnectFromHost();
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    text = QStringLiteral("untouched");
    EXPECT_FALSE(ReadArrivedData(sock, text));
    EXPECT_EQ(text, QStringLiteral("untouched"));
    ASSERT_TRUE(sock.GetData(text));
    EXPECT_EQ(text, QStringLiteral("late\r\n"));
}
