// The mail check against scripted POP3 servers: what it says to the server, what it logs and
// what it keeps in the received list, for the ends and turns that a real server seldom takes.
#include "mailcheck/modMailCheck.h"
#include "settings/ProgramObjects.h"
#include "tests/support/LogLines.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/WiredClients.h"

#include <gtest/gtest.h>

namespace {

const QString Connecting = QStringLiteral("接続しています...");
const QString Connected = QStringLiteral("接続しました");
const QString LoggingIn = QStringLiteral("ログインします...");
const QString LoggedIn = QStringLiteral("ログインしました");
const QString NotAccepted = QStringLiteral("許可されていないメールアドレスでした");

// The server's side of a USER/PASS login that succeeds, up to the STAT command.
std::vector<ScriptStep> LoginScript(const QByteArray& greeting = "+OK ready\r\n") {
    return {Say(greeting), Hear(), Say("+OK\r\n"), Hear(), Say("+OK\r\n"), Hear()};
}

std::vector<ScriptStep> operator+(std::vector<ScriptStep> first,
                                  const std::vector<ScriptStep>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class MailCheckScript : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramObjects();
        CurrentMailAccount.Name = QStringLiteral("camera");
        CurrentMailAccount.POPHost = QStringLiteral("127.0.0.1");
        CurrentMailAccount.UserName = QStringLiteral("cam");
        CurrentMailAccount.Password = QStringLiteral("secret");
        CurrentMailAccount.Timeout = 5;
        CResAccount setting;
        setting.Name = QStringLiteral("s");
        setting.vAcceptedMailAddrs = QStringList{QStringLiteral("bob@example.net")};
        ResponseSettings = {setting};
    }
    void TearDown() override { ResetProgramObjects(); }

    // Runs one check against script and answers the log lines after the opening two.
    QStringList Check(const std::vector<ScriptStep>& script) {
        ScriptedServer server(script);
        CurrentMailAccount.POPPort = server.Port();
        return CheckAt(&server);
    }
    QStringList CheckAt(ScriptedServer* server) {
        const qsizetype before = LoggedMessages(folder).size();
        RunMailCheck(CurrentMailAccount);
        heard = server ? server->Heard() : QStringList();
        const QStringList lines = LoggedMessages(folder).mid(before);
        EXPECT_GE(lines.size(), 2);
        EXPECT_EQ(lines.value(0), QString());
        EXPECT_EQ(lines.value(1), QStringLiteral("メールチェックします (camera)"));
        return lines.mid(2);
    }
    QByteArray RuleFile() const { return folder.Read(QStringLiteral("options/main.rul")); }

    ScratchProgramFolder folder;
    WiredProgramClients clients;
    QStringList heard;
};

} // namespace

TEST_F(MailCheckScript, EarlyEndsLogTheirLineAndSayQuitAfterConnecting) {
    const QString md5OfSecret = QStringLiteral("5ebe2294ecd0e0f08eab7690d2a6ee69");
    const QString noConnection = QStringLiteral("接続できませんでした。インターネットに接続できる状"
                                                "態ではないか、ホスト名が正しくありません。");
    struct Case {
        const char* what;
        std::vector<ScriptStep> script;
        int apop;
        QStringList heard;
        QStringList lines;
    };
    const std::vector<Case> cases = {
        {"login refused",
         {Say("+OK ready\r\n"), Hear(), Say("-ERR who\r\n"), Hear(), Say("+OK\r\n")},
         0,
         {"USER cam", "QUIT"},
         {Connecting, Connected, LoggingIn, "ログインできませんでした"}},
        {"empty mailbox",
         LoginScript() + std::vector<ScriptStep>{Say("+OK 0 0\r\n"), Hear(), Say("+OK\r\n")},
         0,
         {"USER cam", "PASS secret", "STAT", "QUIT"},
         {Connecting, Connected, LoggingIn, LoggedIn, "メールはありませんでした"}},
        {"STAT refused",
         LoginScript() + std::vector<ScriptStep>{Say("-ERR busy\r\n"), Hear(), Say("+OK\r\n")},
         0,
         {"USER cam", "PASS secret", "STAT", "QUIT"},
         {Connecting, Connected, LoggingIn, LoggedIn, "メールの数を取得できませんでした"}},
        {"UIDL refused",
         LoginScript() + std::vector<ScriptStep>{Say("+OK 2 20\r\n"), Hear(), Say("-ERR no\r\n"),
                                                 Hear(), Say("+OK\r\n")},
         0,
         {"USER cam", "PASS secret", "STAT", "UIDL", "QUIT"},
         {Connecting, Connected, LoggingIn, LoggedIn, "メールの一覧を取得できませんでした"}},
        {"APOP without a time stamp: the digest of the password alone",
         {Say("+OK ready\r\n"), Hear(), Say("+OK\r\n"), Hear(), Say("+OK 0 0\r\n"), Hear(),
          Say("+OK\r\n")},
         1,
         {"APOP cam " + md5OfSecret, "STAT", "QUIT"},
         {Connecting, Connected, "APOPでログインします...", LoggedIn, "メールはありませんでした"}},
    };
    for (const Case& c : cases) {
        CurrentMailAccount.APOP = c.apop;
        EXPECT_EQ(Check(c.script), c.lines) << c.what;
        EXPECT_EQ(heard, c.heard) << c.what;
        EXPECT_EQ(clients.sckPOP.State(), SocketControl::sckClosed) << c.what;
    }
    // No server, or a port out of range: the connect failure, and the socket closed.
    const int refused = FreeLoopbackPort();
    ASSERT_NE(refused, 0);
    for (const int port : {refused, 0, 65536, -1}) {
        CurrentMailAccount.POPPort = port;
        EXPECT_EQ(CheckAt(nullptr), QStringList({Connecting, noConnection})) << port;
        EXPECT_EQ(clients.sckPOP.State(), SocketControl::sckClosed) << port;
    }
    EXPECT_EQ(RuleFile(), QByteArray()); // no check changed the list
}

TEST_F(MailCheckScript, MessagesAreFetchedByTheirNumberAndConcludedOnlyWhenSettled) {
    ReceivedUidlList = QStringList{QStringLiteral("seen"), QStringLiteral("gone")};
    const QByteArray oversized = QByteArray("From: bob@example.net\r\n") +
                                 QByteArray("X-Filler: x\r\n").repeated(10001) +
                                 "Subject: CAM\r\n\r\n.\r\n";
    // Message 2 is missing from the listing, so that the numbers have a gap.
    const QStringList lines =
        Check(LoginScript() +
              std::vector<ScriptStep>{
                  Say("+OK 5 500\r\n"), Hear(),
                  Say("+OK\r\n1 seen\r\n3 broken\r\n4 huge\r\n5 stranger\r\n6 request\r\n.\r\n"),
                  Hear(), Say("-ERR no such message\r\n"), Hear(), Say("+OK\r\n" + oversized),
                  Hear(), Say("+OK\r\nFrom: eve@example.com\r\nSubject: CAM\r\n\r\n.\r\n"), Hear(),
                  Say("+OK\r\nFrom: Bob <bob@example.net>\r\nTo: cam@example.com\r\nSubject: CAM "
                      "x\r\n\r\n.\r\n"),
                  Hear(), Say("+OK bye\r\n")});
    EXPECT_EQ(heard, QStringList({"USER cam", "PASS secret", "STAT", "UIDL", "TOP 3 0", "TOP 4 0",
                                  "TOP 5 0", "TOP 6 0", "QUIT"}));
    EXPECT_EQ(lines, QStringList({Connecting, Connected, LoggingIn, LoggedIn,
                                  "メールのヘッダを取得できませんでした",
                                  "メールのヘッダが大きすぎるため読みませんでした",
                                  "From: eve@example.com", "Subject: CAM", NotAccepted,
                                  "From: Bob <bob@example.net>", "To: cam@example.com",
                                  "Subject: CAM x", "許可されているメールアドレスです",
                                  "キャプチャしています", "キャプチャできませんでした"}));
    // "gone" has left the mailbox; the failed TOP and the failed reply are tried again later.
    EXPECT_EQ(ReceivedUidlList, QStringList({QStringLiteral("seen"), QStringLiteral("huge"),
                                             QStringLiteral("stranger")}));
    EXPECT_TRUE(RuleFile().endsWith("seen\r\nhuge\r\nstranger\r\n\r\n")) << RuleFile().data();
}

TEST_F(MailCheckScript, ALostConnectionEndsTheWalk) {
    const QStringList lines =
        Check(LoginScript() + std::vector<ScriptStep>{Say("+OK 2 20\r\n"), Hear(),
                                                      Say("+OK\r\n1 a\r\n2 b\r\n.\r\n"), Hear(),
                                                      Hangup()});
    EXPECT_EQ(lines, QStringList({Connecting, Connected, LoggingIn, LoggedIn,
                                  "サーバーとの接続が切れました"}));
    EXPECT_EQ(heard, QStringList({"USER cam", "PASS secret", "STAT", "UIDL", "TOP 1 0"}));
    EXPECT_EQ(ReceivedUidlList, std::nullopt);
}

TEST_F(MailCheckScript, MissingFieldsAndStrangersArePassedOverForGood) {
    const QStringList lines =
        Check(LoginScript() +
              std::vector<ScriptStep>{
                  Say("+OK 4 40\r\n"), Hear(), Say("+OK\r\n1 a\r\n2 b\r\n3 c\r\n4 d\r\n.\r\n"),
                  Hear(), Say("+OK\r\nfrom: bob@example.net\r\nSubject: CAM\r\n\r\n.\r\n"), Hear(),
                  Say("+OK\r\nFrom: bob@example.net\r\nSubject:\r\n\r\n.\r\n"), Hear(),
                  Say("+OK\r\nFrom: Bob <bob@example.net\r\nSubject: CAM\r\n\r\n.\r\n"), Hear(),
                  Say("+OK\r\nFrom: BOB@example.net\r\nSubject: CAM\r\n\r\n.\r\n"), Hear(),
                  Say("+OK\r\n")});
    EXPECT_EQ(lines,
              QStringList({Connecting, Connected, LoggingIn, LoggedIn, "Subject: CAM",
                           "From: bob@example.net", "Subject: ", "From: Bob <bob@example.net",
                           "Subject: CAM", "From: BOB@example.net", "Subject: CAM", NotAccepted}));
    EXPECT_EQ(ReceivedUidlList, QStringList({"a", "b", "c", "d"}));
}

TEST_F(MailCheckScript, OnlyAnEmptyMailboxForgetsTheReceivedList) {
    const QStringList received{QStringLiteral("a"), QStringLiteral("b")};
    ReceivedUidlList = received;
    Check(LoginScript() + std::vector<ScriptStep>{Say("-ERR busy\r\n"), Hear(), Say("+OK\r\n")});
    EXPECT_EQ(ReceivedUidlList, received);
    Check(LoginScript() + std::vector<ScriptStep>{Say("+OK 0 0\r\n"), Hear(), Say("+OK\r\n")});
    EXPECT_EQ(ReceivedUidlList, QStringList());
    EXPECT_TRUE(RuleFile().startsWith("//")) << RuleFile().data();
    EXPECT_FALSE(RuleFile().contains("\na\r\n")) << RuleFile().data();
}

TEST_F(MailCheckScript, OnlyAListingReadWholeForgetsIdentifiers) {
    // Each listing holds "a" alone as far as it could be read; only the whole one, of as many
    // messages as STAT counted, tells that "b" and "c" have left the server.
    const QStringList received{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    const struct {
        QByteArray stat, uidl;
        bool forgets;
    } cases[] = {
        {"+OK 2 20\r\n", "+OK\r\n1 a\r\nlonely\r\n2 b\r\n.\r\n", false},
        {"+OK 2 20\r\n", "+OK\r\n1 a\r\n1000001 b\r\n.\r\n", false},
        {"+OK 3 30\r\n", "+OK\r\n1 a\r\n.\r\n", false},
        {"+OK 1 10\r\n", "+OK\r\n1 a\r\n.\r\n", true},
    };
    for (const auto& c : cases) {
        ReceivedUidlList = received;
        Check(LoginScript() +
              std::vector<ScriptStep>{Say(c.stat), Hear(), Say(c.uidl), Hear(), Say("+OK\r\n")});
        EXPECT_EQ(heard.last(), QStringLiteral("QUIT")) << c.uidl.toStdString();
        EXPECT_EQ(ReceivedUidlList, c.forgets ? QStringList{QStringLiteral("a")} : received)
            << c.uidl.toStdString();
    }
}
