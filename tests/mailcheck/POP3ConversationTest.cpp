// The client against scripted loopback servers: slow, silent, split, refusing and hostile ones.
#include "WiredPOP3.h"

#include "platform/Clock.h"
#include "settings/CMailAccount.h"
#include "tests/support/FakeClock.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ScriptedServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {
const QByteArray Greeting("+OK POP3 ready <1896.697170952@dbc.mtview.ca.us>\r\n");
}

TEST(POP3Conversation, ConnectTakesTheTimeStampFromTheGreeting) {
    ScriptedServer server({Say(Greeting), Hear(), Say("+OK bye\r\n")});
    WiredPOP3 client;
    QString challenge = QStringLiteral("old");
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_EQ(challenge, QStringLiteral("<1896.697170952@dbc.mtview.ca.us>"));
    client.pop.Quit();
    EXPECT_EQ(server.Heard(), QStringList{QStringLiteral("QUIT")});
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
}

TEST(POP3Conversation, AGreetingWithoutTimeStampStillConnects) {
    ScriptedServer server({Say("+OK ready\r\n"), Hear(), Say("+OK\r\n")});
    WiredPOP3 client;
    QString challenge = QStringLiteral("old");
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_TRUE(challenge.isEmpty());
    EXPECT_EQ(client.sock.State(), SocketControl::sckConnected);
    EXPECT_TRUE(client.pop.CMD_NOOP());
}

TEST(POP3Conversation, ASilentServerEndsEachWaitAtTheTimeOut) {
    FakeClock clock;
    ScriptedServer server({});
    WiredPOP3 client;
    client.pop.TimeoutSecond(1);
    QString challenge;
    EXPECT_TRUE(client.Connect(server.Port(), challenge)); // connected is success
    EXPECT_TRUE(challenge.isEmpty());
    const int64_t connected = clock.ElapsedMs();
    EXPECT_FALSE(client.pop.CMD_NOOP());
    // The greeting wait follows the few polls that the connection takes.
    EXPECT_GE(connected, 1000);
    EXPECT_LE(connected, 1100);
    EXPECT_EQ(clock.ElapsedMs() - connected, 1000);
    // A time-out leaves the connection as it is.
    EXPECT_EQ(client.sock.State(), SocketControl::sckConnected);
}

TEST(POP3Conversation, ARefusedConnectionFailsWithoutWaitingForTheTimeOut) {
    FakeClock clock;
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    WiredPOP3 client;
    client.pop.TimeoutSecond(30);
    QString challenge;
    EXPECT_FALSE(client.Connect(port, challenge));
    EXPECT_LT(clock.ElapsedMs(), 500);
    client.pop.SockClose();
    // Ports outside 1 to 65535 are refused at the first poll of each wait.
    const int64_t refused = clock.ElapsedMs();
    EXPECT_FALSE(client.Connect(0, challenge));
    EXPECT_FALSE(client.Connect(65536, challenge));
    EXPECT_LE(clock.ElapsedMs() - refused, 2 * client.pop.LoopWaitMS());
}

TEST(POP3Conversation, ATopReplySplitOverSeveralEventsIsCollectedWhole) {
    ScriptedServer server({Say("+OK ready\r\n"), Hear(), Say("+OK top follows\r\nSubject: hi\r"),
                           Pause(50), Say("\nFrom: a@example.com\r\n\r\n."), Pause(50), Say("\r"),
                           Pause(50), Say("\n")});
    WiredPOP3 client;
    QString challenge, header;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    ASSERT_TRUE(client.pop.CMD_TOP(1, 0, header));
    EXPECT_EQ(header, QStringLiteral("Subject: hi\r\nFrom: a@example.com\r\n\r\n.\r\n"));
    EXPECT_EQ(server.Heard(), QStringList{QStringLiteral("TOP 1 0")});
}

TEST(POP3Conversation, ASingleLineReplyIsReadToItsLineEnd) {
    ScriptedServer server({Say("+OK re"), Pause(50), Say("ady\r\n"), Hear(), Say("+OK 2 "),
                           Pause(100), Say("320\r\n")});
    WiredPOP3 client;
    QString challenge;
    int count = 0, bytes = 0;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    ASSERT_TRUE(client.pop.CMD_STAT(count, bytes));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(bytes, 320);
}

TEST(POP3Conversation, LowerCaseOkPassesAndErrFails) {
    ScriptedServer server({Say("+ok hello\r\n"), Hear(), Say("+ok\r\n"), Hear(), Say("+ok\r\n"),
                           Hear(), Say("-ERR no such message\r\n"), Hear(), Say("-ERR\r\n"), Hear(),
                           Say("+oK\r\n")});
    FakeClock clock;
    WiredPOP3 client;
    client.pop.TimeoutSecond(20);
    QString challenge, data = QStringLiteral("unchanged");
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_TRUE(client.pop.Login(QStringLiteral("bob"), QStringLiteral("pw")));
    EXPECT_FALSE(client.pop.CMD_DELE(7));
    const int64_t start = clock.ElapsedMs();
    // A refused data command has no dot line to wait for.
    EXPECT_FALSE(client.pop.CMD_RETR(9, data));
    EXPECT_LT(clock.ElapsedMs() - start, 500);
    EXPECT_EQ(data, QStringLiteral("unchanged"));
    EXPECT_TRUE(client.pop.CMD_RESET());
    EXPECT_EQ(server.Heard(), (QStringList{"USER bob", "PASS pw", "DELE 7", "RETR 9", "RSET"}));
}

TEST(POP3Conversation, LoginSendsNoPasswordAfterARefusedUser) {
    ScriptedServer server(
        {Say("+OK ready\r\n"), Hear(), Say("-ERR unknown user\r\n"), Hear(), Say("+OK\r\n")});
    WiredPOP3 client;
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_FALSE(client.pop.Login(QStringLiteral("nobody"), QStringLiteral("secret")));
    EXPECT_TRUE(client.pop.CMD_NOOP());
    EXPECT_EQ(server.Heard(), (QStringList{"USER nobody", "NOOP"}));
}

TEST(POP3Conversation, Login2TakesALateGreetingBeforeItSendsApop) {
    // The greeting comes after Connect has given up on it; the APOP reply is the refusal.
    FakeClock clock;
    ScriptedServer server({Pause(1500), Say(Greeting), Hear(), Say("-ERR denied\r\n")});
    WiredPOP3 client;
    client.pop.TimeoutSecond(1);
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_TRUE(challenge.isEmpty());
    EXPECT_FALSE(client.pop.Login2(QStringLiteral("mrose"), QStringLiteral("C4C9334BAC560ECC")));
    EXPECT_EQ(server.Heard(), QStringList{QStringLiteral("APOP mrose c4c9334bac560ecc")});
}

TEST(POP3Conversation, Login2AfterATakenGreetingSendsApopWithoutWaiting) {
    FakeClock clock;
    ScriptedServer server({Say(Greeting), Hear(), Say("+OK maildrop has 1 message\r\n")});
    WiredPOP3 client;
    client.pop.TimeoutSecond(30);
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    const int64_t start = clock.ElapsedMs();
    EXPECT_TRUE(client.pop.Login2(QStringLiteral("mrose"), QStringLiteral("ABC")));
    // Only the polls of the APOP reply itself: no wait for a second greeting.
    EXPECT_LT(clock.ElapsedMs() - start, 200);
    EXPECT_EQ(server.Heard(), QStringList{QStringLiteral("APOP mrose abc")});
}

TEST(POP3Conversation, ListsAreReadWholeOrAsOneEntry) {
    ScriptedServer server({Say("+OK ready\r\n"), Hear(),
                           Say("+OK 2 messages\r\n1 abc\r\n2 def\r\n.\r\n"), Hear(),
                           Say("+OK 2 def\r\n"), Hear(), Say("+OK\r\n.\r\n")});
    WiredPOP3 client;
    QString challenge;
    QStringList list;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    ASSERT_TRUE(client.pop.CMD_UIDL(list, 0));
    EXPECT_EQ(list, (QStringList{QString(), "abc", "def"}));
    ASSERT_TRUE(client.pop.CMD_UIDL(list, 2));
    EXPECT_EQ(list, (QStringList{QString(), QString(), "def"}));
    ASSERT_TRUE(client.pop.CMD_LIST(list, 0));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(server.Heard(), (QStringList{"UIDL", "UIDL 2", "LIST"}));
}

TEST(POP3Conversation, AServerThatHangsUpMidReplyEndsTheWaitAtOnce) {
    FakeClock clock;
    ScriptedServer server({Say("+OK ready\r\n"), Hear(), Say("+OK\r\n1 abc\r\n"), Hangup()});
    WiredPOP3 client;
    client.pop.TimeoutSecond(30);
    QString challenge;
    QStringList list{QStringLiteral("old")};
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    const int64_t start = clock.ElapsedMs();
    EXPECT_FALSE(client.pop.CMD_UIDL(list, 0));
    EXPECT_LT(clock.ElapsedMs() - start, 500);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
    EXPECT_FALSE(client.pop.CMD_NOOP());
}

TEST(POP3Conversation, CancelEndsOneWaitOnly) {
    FakeClock clock;
    ScriptedServer server({Say("+OK ready\r\n"), Hear(), Hear(), Say("+OK second\r\n")});
    WiredPOP3 client;
    client.pop.TimeoutSecond(30);
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    clock.After(200, [&client] { client.pop.Cancel(); });
    const int64_t start = clock.ElapsedMs();
    EXPECT_FALSE(client.pop.CMD_NOOP());
    EXPECT_EQ(clock.ElapsedMs() - start, 200);
    EXPECT_TRUE(client.pop.CMD_NOOP());
}

TEST(POP3Conversation, NothingHappensBeforeInit) {
    CPOP3 unbound;
    unbound.TimeoutSecond(0.2f);
    QString challenge, data;
    int count = 0, bytes = 0;
    EXPECT_FALSE(unbound.Connect(QStringLiteral("127.0.0.1"), 110, challenge));
    EXPECT_FALSE(unbound.Login(QStringLiteral("a"), QStringLiteral("b")));
    EXPECT_FALSE(unbound.CMD_STAT(count, bytes));
    unbound.Quit();
}

TEST(POP3Conversation, ArgumentsThatAreNotOneLineAreNeverSent) {
    struct Case {
        const char* name;
        QString user, pass;
        bool apop;
        QStringList heard; // what the server must have received
    };
    const Case cases[] = {
        {"CR LF in the user", QStringLiteral("bob\r\nDELE 1"), QStringLiteral("pw"), false, {}},
        {"bare LF in the password",
         QStringLiteral("bob"),
         QStringLiteral("pw\nDELE 1"),
         false,
         {"USER bob"}},
        {"NUL in the user",
         QStringLiteral("bob") + QChar(u'\0') + QStringLiteral("x"),
         QStringLiteral("pw"),
         false,
         {}},
        {"CR in the APOP user", QStringLiteral("mrose\rQUIT"), QStringLiteral("C4C9"), true, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        FakeClock clock;
        ScriptedServer server({Say(Greeting), Hear(), Say("+OK\r\n"), Hear(), Say("+OK\r\n")});
        WiredPOP3 client;
        QString challenge;
        ASSERT_TRUE(client.Connect(server.Port(), challenge));
        EXPECT_FALSE(test.apop ? client.pop.Login2(test.user, test.pass)
                               : client.pop.Login(test.user, test.pass));
        // The connection is still usable: the next command is the next line the server hears.
        EXPECT_TRUE(client.pop.CMD_NOOP());
        EXPECT_EQ(server.Heard(), test.heard + QStringList{QStringLiteral("NOOP")});
    }
}

namespace {

// Answers the first line it hears with an endless reply: a status line without its line end,
// or a data reply without its closing dot line, written as fast as the client takes it.
class FloodingServer {
  public:
    explicit FloodingServer(QByteArray start, QByteArray chunk)
        : start(std::move(start)), chunk(std::move(chunk)) {
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            peer = server.nextPendingConnection();
            peer->write("+OK ready\r\n");
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [this] {
                peer->readAll();
                if (!flooding) {
                    flooding = true;
                    peer->write(this->start);
                    Refill();
                }
            });
            QObject::connect(peer, &QTcpSocket::bytesWritten, peer, [this] { Refill(); });
        });
        server.listen(QHostAddress::LocalHost, 0);
    }
    int Port() const { return server.serverPort(); }
    qint64 Sent() const { return sent; }

  private:
    void Refill() {
        while (flooding && peer->state() == QAbstractSocket::ConnectedState &&
               peer->bytesToWrite() < 16 * chunk.size()) {
            peer->write(chunk);
            sent += chunk.size();
        }
    }
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QByteArray start, chunk;
    bool flooding = false;
    qint64 sent = 0;
};

} // namespace

TEST(POP3Conversation, AReplyThatNeverEndsIsCutOffAtItsLimitAndTheConnectionClosed) {
    // Real time: the flood is real data, and it has to outrun a 30-second time-out by far.
    for (const bool data : {false, true}) {
        SCOPED_TRACE(data ? "data reply" : "status line");
        FloodingServer server(data ? "+OK here it comes\r\n" : "+OK ",
                              data ? QByteArray(65535, 'x') + '\n' : QByteArray(65536, 'x'));
        WiredPOP3 client;
        client.pop.TimeoutSecond(30);
        client.pop.LoopWaitMS(1); // the server is on this thread: let it write often
        QString challenge, header = QStringLiteral("unchanged");
        ASSERT_TRUE(client.Connect(server.Port(), challenge));
        const double start = SteadySeconds();
        EXPECT_FALSE(data ? client.pop.CMD_TOP(1, 0, header) : client.pop.CMD_NOOP());
        EXPECT_LT(SteadySeconds() - start, 20.0);
        EXPECT_EQ(header, QStringLiteral("unchanged"));
        EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
        EXPECT_GT(server.Sent(), data ? MaxMultiLineLength : MaxStatusLineLength);
        EXPECT_FALSE(client.pop.CMD_NOOP());
    }
}

TEST(POP3Conversation, ALateUnreadableOrCutReplyPutsTheSessionOutOfStepARefusalDoesNot) {
    // Out of step, a late reply would be read as the next command's.
    struct Case {
        const char* what;
        std::vector<ScriptStep> reply; // the server's answer to NOOP
        bool inStep;
    };
    const std::vector<Case> cases = {
        {"refused", {Say("-ERR busy\r\n")}, true},
        {"accepted", {Say("+OK\r\n")}, true},
        {"late", {Pause(1500), Say("+OK\r\n")}, false},
        {"cut short", {Say("+OK")}, false},
        {"no status line", {Say("From: a@example.com\r\n")}, false},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        std::vector<ScriptStep> script{Say("+OK ready\r\n"), Hear()};
        script.insert(script.end(), c.reply.begin(), c.reply.end());
        ScriptedServer server(script);
        WiredPOP3 client;
        client.pop.TimeoutSecond(1);
        QString challenge;
        ASSERT_TRUE(client.Connect(server.Port(), challenge)) << c.what;
        EXPECT_TRUE(client.pop.InStep()) << c.what;
        client.pop.CMD_NOOP();
        EXPECT_EQ(client.pop.InStep(), c.inStep) << c.what;
        // Connect starts a new session in step.
        ASSERT_TRUE(client.Connect(ScriptedServer({Say("+OK\r\n")}).Port(), challenge));
        EXPECT_TRUE(client.pop.InStep()) << c.what;
    }
}

TEST(POP3Conversation, UserLoginTakesALateGreetingFirstAndIsBackInStep) {
    FakeClock clock;
    ScriptedServer server({Pause(1500), Say("+OK ready\r\n"), Hear(), Say("+OK\r\n"), Hear(),
                           Say("-ERR wrong password\r\n")});
    WiredPOP3 client;
    client.pop.TimeoutSecond(1);
    QString challenge;
    ASSERT_TRUE(client.Connect(server.Port(), challenge));
    EXPECT_FALSE(client.pop.InStep());
    // The greeting is not taken as USER's reply, nor USER's as PASS's.
    EXPECT_FALSE(client.pop.Login(QStringLiteral("bob"), QStringLiteral("pw")));
    EXPECT_EQ(server.Heard(), (QStringList{"USER bob", "PASS pw"}));
    EXPECT_TRUE(client.pop.InStep());
}

TEST(POP3Conversation, BytesAfterTheStlsReplyFailTheConnectionBeforeAnyLogin) {
    // RFC 2595 section 4: what comes between the reply and the handshake would otherwise be
    // read as the server's answers inside TLS.
    for (const QByteArray& injected :
         {QByteArray("+OK\r\n+OK\r\n+OK 1 100\r\n"), QByteArray("+")}) {
        ScriptedServer server(
            {Say("+OK ready\r\n"), Hear(), Say("+OK Begin TLS negotiation\r\n" + injected)});
        WiredPOP3 client;
        client.pop.Security(SecurityStartTls, QString());
        QString challenge;
        EXPECT_FALSE(client.Connect(server.Port(), challenge)) << injected.toStdString();
        EXPECT_EQ(client.pop.LastFailure(),
                  QStringLiteral("POP3サーバーのSTLSの応答の後に余分なデータがありました"));
        EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
        EXPECT_FALSE(client.pop.Login(QStringLiteral("bob"), QStringLiteral("pw")));
        EXPECT_EQ(server.Heard(), QStringList{QStringLiteral("STLS")});
    }
}
