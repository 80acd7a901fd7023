// The reply sender: whole exchanges with a real SMTP server (aiosmtpd) on 127.0.0.1, and the
// cases in which it must send nothing at all.
#include "ReplyFixture.h"

#include "settings/ProgramObjects.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/WiredClients.h"

#include <QDir>

namespace {

const QString Own = QStringLiteral("cam@example.com");
const QString Requester = QStringLiteral("bob@example.net");

class SendReplyFile : public ReplyFixture {
  protected:
    void SetUp() override {
        ReplyFixture::SetUp();
        saved = CurrentMailAccount;
        CurrentMailAccount.MailAddr = Own;
        CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
        CurrentMailAccount.Timeout = 10;
    }
    void TearDown() override { CurrentMailAccount = saved; }

    // A reply with a body whose lines begin with dots, one of them a lone ".".
    void ComposeReply() {
        CResAccount setting;
        setting.ReductionWidth = 32;
        setting.SendMail_Subject = QString::fromUtf8("カメラの写真");
        setting.SendMail_Body = QString::fromUtf8("写真です\n.note\n.\n..");
        QString failure;
        ASSERT_TRUE(::ComposeReply(Temp(QStringLiteral("capture.bmp")), ReplyPath(), setting, Own,
                                   Requester, false, failure));
    }
    static QString ReplyPath() { return Temp(QStringLiteral("new.eml")); }

    // A scripted server that would greet and hear HELO: whoever connects is heard.
    std::vector<ScriptStep> Greeter() { return {Say("220 ready\r\n"), Hear(), Say("250 hi\r\n")}; }

    CMailAccount saved;
    WiredProgramClients clients;
};

} // namespace

TEST_F(SendReplyFile, TheServerStoresTheReplyFileAsItIsFromTheAccountsAddress) {
    SmtpServer server;
    QString problem;
    ASSERT_TRUE(server.Start(problem)) << problem.toStdString();
    CurrentMailAccount.SMTPPort = server.Port();
    ComposeReply();
    ASSERT_EQ(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    const std::vector<SmtpServer::StoredMail> mails = server.Mails(Requester);
    ASSERT_EQ(mails.size(), 1u);
    const QByteArray reply = ReadWholeFile(ReplyPath());
    EXPECT_TRUE(reply.contains("\r\n.note\r\n.\r\n..\r\n"));
    EXPECT_EQ(mails[0].Message, reply);
    EXPECT_EQ(mails[0].MailFrom, Own);
    EXPECT_EQ(mails[0].RcptTos, QStringList{Requester});
    EXPECT_EQ(mails[0].Helo, QStringLiteral("[127.0.0.1]"));
    // The stored copy reads back as the reply did.
    const QString stored = folder.Path() + QStringLiteral("/stored.eml");
    WriteWholeFile(stored, mails[0].Message);
    ExpectSoundReply(stored, ReadWholeFile(Temp(QStringLiteral("converted.bin"))),
                     QString::fromUtf8("写真です\n.note\n.\n..\n"), QStringLiteral("JPEG"), 32, 24);
    // The client said QUIT and closed.
    EXPECT_EQ(clients.sckSMTP.State(), SocketControl::sckClosed);

    // A second reply over a new connection.
    ASSERT_EQ(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    EXPECT_EQ(server.Mails(Requester).size(), 2u);
}

TEST_F(SendReplyFile, ARefusedRecipientFailsAndNothingIsStored) {
    SmtpServer server;
    QString problem;
    ASSERT_TRUE(server.Start(problem, {Requester})) << problem.toStdString();
    CurrentMailAccount.SMTPPort = server.Port();
    ComposeReply();
    EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    EXPECT_TRUE(server.Mails(Requester).empty());
    EXPECT_EQ(clients.sckSMTP.State(), SocketControl::sckClosed);
}

TEST_F(SendReplyFile, UnsafeAddressesAndBadReplyFilesSendNothing) {
    ComposeReply();
    const QByteArray good = ReadWholeFile(ReplyPath());
    struct Case {
        const char* what;
        QString recipient;
        QString sender;
        QByteArray file; // null: no reply file at all
    };
    const Case cases[] = {
        {"recipient with a line end", Requester + QStringLiteral("\r\nRCPT TO:<eve@x>"), Own, good},
        {"recipient with a space", QStringLiteral("bob smith@example.net"), Own, good},
        {"recipient in brackets", QStringLiteral("<bob@example.net>"), Own, good},
        {"empty recipient", QString(), Own, good},
        {"recipient with NUL", Requester + QChar(0), Own, good},
        {"sender with a line end", Requester, Own + QStringLiteral("\nRSET"), good},
        {"empty sender", Requester, QString(), good},
        {"no reply file", Requester, Own, QByteArray()},
        {"empty reply file", Requester, Own, QByteArray("")},
        {"reply file without an empty line", Requester, Own,
         QByteArray("From: a@x\r\nTo: b@y\r\n")},
    };
    for (const Case& c : cases) {
        ScriptedServer server(Greeter());
        CurrentMailAccount.SMTPPort = server.Port();
        CurrentMailAccount.MailAddr = c.sender;
        QFile::remove(ReplyPath());
        if (!c.file.isNull())
            WriteWholeFile(ReplyPath(), c.file);
        EXPECT_NE(::SendReplyFile(CurrentMailAccount, c.recipient), SendOutcome::Sent) << c.what;
        // Whoever had connected would have been greeted and have said HELO by now.
        PumpUntil([&] { return !server.Heard().isEmpty(); }, 200);
        EXPECT_EQ(server.Heard(), QStringList()) << c.what;
    }
}

TEST_F(SendReplyFile, AFailedConnectEndsAtOnce) {
    ComposeReply();
    CurrentMailAccount.SMTPPort = FreeLoopbackPort();
    ASSERT_NE(CurrentMailAccount.SMTPPort, 0);
    EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    for (const int port : {0, 65536, -1}) {
        CurrentMailAccount.SMTPPort = port;
        EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent) << port;
    }
}
