// The reply sender with the account's SMTP security and AUTH choices, against a real SMTP
// server (aiosmtpd) on 127.0.0.1 offering STARTTLS or TLS from the first byte and AUTH with
// its authenticator, with certificates made by openssl for the test.
#include "ReplyFixture.h"

#include "settings/ProgramObjects.h"
#include "tests/support/LogLines.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/WiredClients.h"

namespace {

const QString Own = QStringLiteral("cam@example.com");
const QString Requester = QStringLiteral("bob@example.net");

class SMTPTls : public ReplyFixture {
  protected:
    void SetUp() override {
        ReplyFixture::SetUp();
        QString problem;
        ASSERT_TRUE(certificates.Make(problem)) << problem.toStdString();
        certificates.Trust();
        saved = CurrentMailAccount;
        CurrentMailAccount = CMailAccount();
        CurrentMailAccount.MailAddr = Own;
        CurrentMailAccount.UserName = QStringLiteral("cam");
        CurrentMailAccount.Password = QStringLiteral("pop-pass");
        CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
        CurrentMailAccount.Timeout = 10;
        CResAccount setting;
        setting.ReductionWidth = 16;
        setting.SendMail_Body = QString::fromUtf8("写真です");
        QString failure;
        ASSERT_TRUE(::ComposeReply(Temp(QStringLiteral("capture.bmp")),
                                   Temp(QStringLiteral("new.eml")), setting, Own, Requester, false,
                                   failure));
    }
    void TearDown() override { CurrentMailAccount = saved; }

    // Starts server with TLS mode tls ("" none), the certificate kind and the two logins.
    void Start(SmtpServer& server, const QString& tls,
               TestCertificates::Kind kind = TestCertificates::Trusted,
               const QStringList& mechanisms = {}) {
        SmtpServer::Offer offer;
        offer.Tls = tls;
        offer.CertFile = certificates.CertFile(kind);
        offer.KeyFile = certificates.KeyFile();
        offer.Users = QStringList{"cam:pop-pass", "sender:smtp-pass"};
        offer.Mechanisms = mechanisms;
        QString problem;
        ASSERT_TRUE(server.StartOffering(problem, offer)) << problem.toStdString();
        CurrentMailAccount.SMTPPort = server.Port();
    }
    QString LastLogLine() const {
        const QStringList lines = LoggedMessages(folder);
        return lines.isEmpty() ? QString() : lines.last();
    }

    TestCertificates certificates;
    CMailAccount saved;
    WiredProgramClients clients;
};

} // namespace

TEST_F(SMTPTls, AReplyGoesOutInEachModeWithEachLoginAndMechanism) {
    struct Case {
        const char* tls;
        int security;
        int auth;
        QStringList mechanisms; // what the server offers; none: PLAIN and LOGIN
        const char* login;      // the login the server saw
    };
    const Case cases[] = {
        {"starttls", SecurityStartTls, AuthNone, {}, ""},
        {"starttls", SecurityStartTls, AuthAccountLogin, {}, "cam"},
        {"starttls", SecurityStartTls, AuthSmtpLogin, {"LOGIN"}, "sender"},
        {"implicit", SecurityTls, AuthNone, {}, ""},
        {"implicit", SecurityTls, AuthSmtpLogin, {"PLAIN"}, "sender"},
        {"implicit", SecurityTls, AuthAccountLogin, {"LOGIN"}, "cam"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tls << " auth " << c.auth << " "
                                        << c.mechanisms.join(u',').toStdString());
        SmtpServer server;
        Start(server, QString::fromLatin1(c.tls), TestCertificates::Trusted, c.mechanisms);
        CurrentMailAccount.SMTPSecurity = c.security;
        CurrentMailAccount.SMTPAuth = c.auth;
        CurrentMailAccount.SMTPUserName = QStringLiteral("sender");
        CurrentMailAccount.SMTPPassword = QStringLiteral("smtp-pass");
        ASSERT_EQ(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent)
            << LastLogLine().toStdString();
        const std::vector<SmtpServer::StoredMail> mails = server.Mails(Requester);
        ASSERT_EQ(mails.size(), 1u);
        EXPECT_EQ(mails[0].Message, ReadWholeFile(Temp(QStringLiteral("new.eml"))));
        EXPECT_TRUE(mails[0].Tls);
        EXPECT_EQ(mails[0].Login, QString::fromLatin1(c.login));
        EXPECT_EQ(mails[0].Helo, QStringLiteral("[127.0.0.1]"));
        EXPECT_EQ(clients.sckSMTP.State(), SocketControl::sckClosed);
    }
    EXPECT_TRUE(LoggedMessages(folder).isEmpty());
}

TEST_F(SMTPTls, AWrongPasswordIsLoggedWithTheServersReplyAndNothingIsSent) {
    SmtpServer server;
    Start(server, QStringLiteral("starttls"));
    CurrentMailAccount.SMTPSecurity = SecurityStartTls;
    CurrentMailAccount.SMTPAuth = AuthSmtpLogin;
    CurrentMailAccount.SMTPUserName = QStringLiteral("sender");
    CurrentMailAccount.SMTPPassword = QStringLiteral("wrong");
    EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    EXPECT_EQ(
        LastLogLine(),
        QStringLiteral("SMTPの認証に失敗しました: 535 5.7.8 Authentication credentials invalid"));
    EXPECT_TRUE(server.Mails(Requester).empty());
    EXPECT_EQ(clients.sckSMTP.State(), SocketControl::sckClosed);
}

TEST_F(SMTPTls, AnUnknownCaIsRefusedWithItsFingerprintUntilItIsPinned) {
    const QString hex =
        certificates.OpensslFingerprint(TestCertificates::UnknownCa).toLower().remove(u':');
    ASSERT_EQ(hex.size(), 64);
    for (const auto& [tls, security] :
         {std::pair{"starttls", SecurityStartTls}, std::pair{"implicit", SecurityTls}}) {
        SCOPED_TRACE(tls);
        SmtpServer server;
        Start(server, QString::fromLatin1(tls), TestCertificates::UnknownCa);
        CurrentMailAccount.SMTPSecurity = security;
        CurrentMailAccount.SMTPCertificate.clear();
        EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
        EXPECT_EQ(LastLogLine(), QStringLiteral("SMTPサーバーとTLSで接続できませんでした: "
                                                "証明書の発行者が信頼されていません (SHA-256 ") +
                                     hex + u')');
        EXPECT_TRUE(server.Mails(Requester).empty());

        CurrentMailAccount.SMTPCertificate = hex.toUpper();
        EXPECT_EQ(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent)
            << LastLogLine().toStdString();
        EXPECT_EQ(server.Mails(Requester).size(), 1u);
    }
}

TEST_F(SMTPTls, APinThatCannotBeReadRefusesEvenATrustedServer) {
    for (const auto& [tls, security] :
         {std::pair{"starttls", SecurityStartTls}, std::pair{"implicit", SecurityTls}}) {
        SCOPED_TRACE(tls);
        SmtpServer server;
        Start(server, QString::fromLatin1(tls));
        CurrentMailAccount.SMTPSecurity = security;
        CurrentMailAccount.SMTPCertificate = QStringLiteral("SHA256 Fingerprint=");
        EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
        EXPECT_EQ(LastLogLine(),
                  QStringLiteral("SMTPサーバーとTLSで接続できませんでした: "
                                 "登録された証明書のフィンガープリントを読み取れません"));
        EXPECT_TRUE(server.Mails(Requester).empty());
    }
}

TEST_F(SMTPTls, AWrongHostNameIsRefused) {
    SmtpServer server;
    Start(server, QStringLiteral("implicit"), TestCertificates::WrongHost);
    CurrentMailAccount.SMTPSecurity = SecurityTls;
    EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    EXPECT_TRUE(LastLogLine().startsWith(
        QStringLiteral("SMTPサーバーとTLSで接続できませんでした: 証明書のホスト名が一致しません")))
        << LastLogLine().toStdString();
    EXPECT_TRUE(server.Mails(Requester).empty());
}

TEST_F(SMTPTls, NoStartTlsOfferedMeansNoMailAndNoAuthGoesOutInPlainText) {
    // A real server without TLS: it does not offer STARTTLS, so nothing more is sent.
    SmtpServer server;
    Start(server, QString());
    CurrentMailAccount.SMTPSecurity = SecurityStartTls;
    EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    EXPECT_EQ(LastLogLine(), QStringLiteral("SMTPサーバーがSTARTTLSに対応していません"));
    EXPECT_TRUE(server.Mails(Requester).empty());

    // What goes over the wire, for each way of asking for more than plain SMTP without TLS.
    struct Case {
        const char* what;
        int security;
        int auth;
        int withoutTls;
        std::vector<ScriptStep> script;
        QStringList heard;
        const char* logged;
    };
    const QByteArray ehlo = "250-hi\r\n250-AUTH PLAIN LOGIN\r\n250 8BITMIME\r\n";
    Case cases[] = {
        {"STARTTLS refused",
         SecurityStartTls,
         AuthNone,
         0,
         {Say("220 x\r\n"), Hear(), Say("250-hi\r\n250 STARTTLS\r\n"), Hear(),
          Say("454 4.7.0 TLS not available\r\n"), Hear(), Say("221 bye\r\n")},
         {"EHLO [127.0.0.1]", "STARTTLS", "QUIT"},
         "SMTPサーバーがSTARTTLSを受け付けませんでした: 454 4.7.0 TLS not available"},
        {"EHLO refused with STARTTLS asked",
         SecurityStartTls,
         AuthNone,
         0,
         {Say("220 x\r\n"), Hear(), Say("500 what\r\n"), Hear(), Say("221 bye\r\n")},
         {"EHLO [127.0.0.1]", "QUIT"},
         "SMTPサーバーがEHLOを受け付けませんでした: 500 what"},
        {"AUTH without TLS not allowed",
         SecurityNone,
         AuthAccountLogin,
         0,
         {Say("220 x\r\n"), Hear(), Say(ehlo), Hear(), Say("221 bye\r\n")},
         {"EHLO [127.0.0.1]", "QUIT"},
         "暗号化されていない接続ではSMTPの認証をしません"},
        {"AUTH without TLS allowed",
         SecurityNone,
         AuthAccountLogin,
         1,
         {Say("220 x\r\n"), Hear(), Say(ehlo), Hear(), Say("535 5.7.8 no\r\n"), Hear(),
          Say("221 bye\r\n")},
         {"EHLO [127.0.0.1]", "AUTH PLAIN AGNhbQBwb3AtcGFzcw==", "QUIT"},
         "SMTPの認証に失敗しました: 535 5.7.8 no"},
        {"no mechanism of ours",
         SecurityNone,
         AuthAccountLogin,
         1,
         {Say("220 x\r\n"), Hear(), Say("250-hi\r\n250 AUTH CRAM-MD5\r\n"), Hear(),
          Say("221 bye\r\n")},
         {"EHLO [127.0.0.1]", "QUIT"},
         "SMTPサーバーがPLAINとLOGINのどちらの認証にも対応していません"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer scripted(std::move(c.script));
        CurrentMailAccount.SMTPPort = scripted.Port();
        CurrentMailAccount.SMTPSecurity = c.security;
        CurrentMailAccount.SMTPAuth = c.auth;
        CurrentMailAccount.SMTPAuthWithoutTLS = c.withoutTls;
        CurrentMailAccount.Timeout = 2;
        EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
        EXPECT_EQ(LastLogLine(), QString::fromUtf8(c.logged));
        EXPECT_EQ(scripted.Heard(), c.heard);
    }
}

TEST_F(SMTPTls, EhloFallsBackToHeloOnlyWhenNoExtensionIsNeeded) {
    // TLS from the first byte needs no extension: a server that refuses EHLO gets HELO.
    SmtpServer server;
    SmtpServer::Offer offer;
    offer.Tls = QStringLiteral("implicit");
    offer.CertFile = certificates.CertFile(TestCertificates::Trusted);
    offer.KeyFile = certificates.KeyFile();
    offer.Users = QStringList{"cam:pop-pass"};
    offer.RefuseEhlo = true;
    QString problem;
    ASSERT_TRUE(server.StartOffering(problem, offer)) << problem.toStdString();
    CurrentMailAccount.SMTPPort = server.Port();
    CurrentMailAccount.SMTPSecurity = SecurityTls;
    ASSERT_EQ(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent)
        << LastLogLine().toStdString();
    ASSERT_EQ(server.Mails(Requester).size(), 1u);
    EXPECT_TRUE(server.Mails(Requester)[0].Tls);

    // AUTH needs EHLO: the refusal ends the exchange, with the server's words.
    CurrentMailAccount.SMTPAuth = AuthAccountLogin;
    EXPECT_NE(::SendReplyFile(CurrentMailAccount, Requester), SendOutcome::Sent);
    EXPECT_EQ(
        LastLogLine(),
        QStringLiteral("SMTPサーバーがEHLOを受け付けませんでした: 502 5.5.1 EHLO not known here"));
    EXPECT_EQ(server.Mails(Requester).size(), 1u);
}
