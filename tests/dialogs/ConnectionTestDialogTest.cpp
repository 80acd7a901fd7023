// The account dialog's security choices and its connection test, driven headless by object
// name, against a private Dovecot and aiosmtpd on 127.0.0.1 with certificates made by openssl.
#include "settings/ProgramObjects.h"
#include "tests/dialogs/MailAccountDriving.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCertificates.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressBar>

namespace {

CMailAccount Account() {
    CMailAccount account = LocalMailAccount();
    account.Timeout = 10;
    return account;
}

class ConnectionTestDialog : public MailAccountDialogFixture {
  protected:
    void Choose(const char* name, int index) {
        Control<QComboBox>(&dialog, name)->setCurrentIndex(index);
    }
    QStringList Report() {
        return Control<QPlainTextEdit>(&dialog, "txtTestReport")->toPlainText().split(u'\n');
    }
    // Starts Dovecot (STLS and TLS with certificate kind) and aiosmtpd (tls mode, the same
    // certificate, AUTH for camera:secret and sender:smtp-pass).
    void StartServers(TestCertificates::Kind kind, const QString& smtpTls) {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed";
        QString problem;
        ASSERT_TRUE(certificates.Make(problem)) << problem.toStdString();
        certificates.Trust();
        pop.OfferTls(certificates.CertFile(kind), certificates.KeyFile());
        ASSERT_TRUE(pop.Start({{"camera", "secret"}}, problem)) << problem.toStdString();
        SmtpServer::Offer offer;
        offer.Tls = smtpTls;
        offer.CertFile = certificates.CertFile(kind);
        offer.KeyFile = certificates.KeyFile();
        offer.Users = QStringList{"camera:secret", "sender:smtp-pass"};
        ASSERT_TRUE(smtp.StartOffering(problem, offer)) << problem.toStdString();
    }

    // The report of a test of Dovecot's IMAP with STARTTLS, with or without IDLE.
    QStringList ImapReport(bool idle) {
        pop.OfferImap(!idle);
        StartServers(TestCertificates::Trusted, QString());
        if (HasFatalFailure() || IsSkipped())
            return {};
        CMailAccount account = Account();
        account.MailProtocol = ProtocolIMAP;
        account.POPSecurity = SecurityStartTls;
        account.POPPort = pop.ImapPort();
        account.SMTPPort = smtp.Port();
        Open(account);
        Click(&dialog, "cmdConnectionTest");
        return Report();
    }

    ScratchProgramFolder folder;
    TestCertificates certificates;
    DovecotServer pop;
    SmtpServer smtp;
};

} // namespace

TEST_F(ConnectionTestDialog, ASecurityChoiceMovesOnlyAUsualPort) {
    Open(CMailAccount());
    EXPECT_EQ(Control<QComboBox>(&dialog, "cboPOPSecurity")->currentText(), QStringLiteral("なし"));
    // From each choice's usual port to the next one's.
    Choose("cboPOPSecurity", SecurityTls);
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("995"));
    Choose("cboPOPSecurity", SecurityStartTls);
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("110"));
    Choose("cboSMTPSecurity", SecurityStartTls);
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("587"));
    Choose("cboSMTPSecurity", SecurityTls);
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("465"));
    Choose("cboSMTPSecurity", SecurityNone);
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("25"));
    // A port of the user's own stays.
    Type(&dialog, "txtSMTPPort", QStringLiteral("2525"));
    Choose("cboSMTPSecurity", SecurityTls);
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("2525"));
    // A stored account's ports are shown as stored.
    CMailAccount stored = Account();
    stored.SMTPSecurity = SecurityStartTls;
    stored.SMTPPort = 465;
    Open(stored);
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("465"));
    Choose("cboSMTPSecurity", SecurityTls);
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("465"));
}

TEST_F(ConnectionTestDialog, TheIncomingProtocolMovesTheUsualPortAndItsOwnControls) {
    Open(CMailAccount());
    auto* security = Control<QComboBox>(&dialog, "cboPOPSecurity");
    Choose("cboMailProtocol", ProtocolIMAP);
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("143"));
    EXPECT_EQ(security->itemText(SecurityStartTls), QStringLiteral("STARTTLS"));
    EXPECT_FALSE(Control<QCheckBox>(&dialog, "chkAPOP")->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(&dialog, "txtIMAPFolder")->isEnabled());
    Choose("cboPOPSecurity", SecurityTls);
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("993"));
    Choose("cboMailProtocol", ProtocolPOP3);
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("995"));
    EXPECT_EQ(security->itemText(SecurityStartTls), QStringLiteral("STLS"));
    EXPECT_FALSE(Control<QLineEdit>(&dialog, "txtIMAPFolder")->isEnabled());

    CMailAccount stored = Account();
    stored.MailProtocol = ProtocolIMAP;
    stored.IMAPFolder = QStringLiteral("Camera");
    stored.POPPort = 10143;
    Open(stored);
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("10143"));
    EXPECT_EQ(Text("txtIMAPFolder"), QStringLiteral("Camera"));
    Type(&dialog, "txtIMAPFolder", QString());
    Click(&dialog, "Command1(0)");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes().back().text, QStringLiteral("IMAPのフォルダが入力されていません"));
    Type(&dialog, "txtPOP", QString());
    Click(&dialog, "Command1(0)");
    EXPECT_EQ(boxes.Boxes().back().text, QStringLiteral("IMAPが入力されていません"));
    Type(&dialog, "txtPOP", QStringLiteral("imap.example.jp"));
    Type(&dialog, "txtIMAPFolder", QStringLiteral("Camera"));
    Click(&dialog, "Command1(0)");
    ASSERT_TRUE(dialog.DialogAccepted());
    EXPECT_EQ(dialog.EditedMailAccount()->MailProtocol, ProtocolIMAP);
    EXPECT_EQ(dialog.EditedMailAccount()->IMAPFolder, QStringLiteral("Camera"));
}

TEST_F(ConnectionTestDialog, TheSecurityChoicesReachTheEditedAccount) {
    CMailAccount account = Account();
    account.POPPort = 110;
    account.SMTPPort = 25;
    Open(account);
    Choose("cboPOPSecurity", SecurityTls);
    Choose("cboSMTPSecurity", SecurityStartTls);
    Choose("cboSMTPAuth", AuthSmtpLogin);
    EXPECT_TRUE(Control<QLineEdit>(&dialog, "txtSMTPUserName")->isEnabled());
    Type(&dialog, "txtSMTPUserName", QStringLiteral("sender"));
    Type(&dialog, "txtSMTPPassword", QStringLiteral("smtp-pass"));
    EXPECT_EQ(Control<QLineEdit>(&dialog, "txtSMTPPassword")->echoMode(), QLineEdit::Password);
    Type(&dialog, "txtSMTPCertificate", QStringLiteral("not a fingerprint"));
    Click(&dialog, "Command1(0)");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes().back().text, QStringLiteral("証明書のフィンガープリントが不正です"));
    EXPECT_FALSE(dialog.DialogAccepted());
    Type(&dialog, "txtSMTPCertificate", QStringLiteral("AB:") + QStringLiteral("CD").repeated(31));
    Click(&dialog, "Command1(0)");
    ASSERT_TRUE(dialog.DialogAccepted());
    const CMailAccount& edited = *dialog.EditedMailAccount();
    EXPECT_EQ(edited.POPSecurity, SecurityTls);
    EXPECT_EQ(edited.POPPort, 995);
    EXPECT_EQ(edited.SMTPSecurity, SecurityStartTls);
    EXPECT_EQ(edited.SMTPPort, 587);
    EXPECT_EQ(edited.SMTPAuth, AuthSmtpLogin);
    EXPECT_EQ(edited.SMTPUserName, QStringLiteral("sender"));
    EXPECT_EQ(edited.SMTPPassword, QStringLiteral("smtp-pass"));
    EXPECT_EQ(edited.SMTPCertificate, QStringLiteral("ab") + QStringLiteral("cd").repeated(31));
    EXPECT_TRUE(edited.POPCertificate.isEmpty());
}

TEST_F(ConnectionTestDialog, ReportsEachStepOfBothServersInTls) {
    StartServers(TestCertificates::Trusted, QStringLiteral("starttls"));
    CMailAccount account = Account();
    account.POPSecurity = SecurityStartTls;
    account.POPPort = pop.Port();
    account.APOP = 1;
    account.SMTPSecurity = SecurityStartTls;
    account.SMTPPort = smtp.Port();
    account.SMTPAuth = AuthAccountLogin;
    Open(account);
    Click(&dialog, "cmdConnectionTest");
    const QStringList report = Report();
    const QString fingerprint =
        certificates.OpensslFingerprint(TestCertificates::Trusted).toLower().remove(u':');
    const QString certificateLine = QStringLiteral("TLSで接続しました 証明書: ");
    ASSERT_GE(report.size(), 11) << report.join(u'\n').toStdString();
    EXPECT_EQ(report[0], QStringLiteral("POP3: 接続しています... 127.0.0.1:%1").arg(pop.Port()));
    EXPECT_EQ(report[1], QStringLiteral("POP3: 接続しました"));
    EXPECT_TRUE(report[2].startsWith(QStringLiteral("POP3: ") + certificateLine));
    EXPECT_TRUE(report[2].contains(QStringLiteral("127.0.0.1")));
    EXPECT_TRUE(report[2].endsWith(QStringLiteral("SHA-256 ") + fingerprint));
    EXPECT_EQ(report[3], QStringLiteral("POP3: ログインしました"));
    EXPECT_EQ(report[4], QStringLiteral("SMTP: 接続しています... 127.0.0.1:%1").arg(smtp.Port()));
    EXPECT_EQ(report[5], QStringLiteral("SMTP: 接続しました"));
    EXPECT_EQ(report[6], QStringLiteral("SMTP: EHLO: 250-vistrel-test-smtp"));
    EXPECT_TRUE(report[7].startsWith(QStringLiteral("SMTP: STARTTLS: 220")));
    EXPECT_TRUE(report[8].startsWith(QStringLiteral("SMTP: ") + certificateLine));
    EXPECT_EQ(report[9], QStringLiteral("SMTP: EHLO: 250-vistrel-test-smtp"));
    EXPECT_EQ(report[10], QStringLiteral("SMTP: AUTH: 235 2.7.0 Authentication successful"));
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに成功しました"));
    // Nothing was sent.
    EXPECT_TRUE(smtp.Mails(QStringLiteral("camera@example.jp")).empty());
}

TEST_F(ConnectionTestDialog, AnUnknownCertificateIsShownPinnedAndThenAccepted) {
    StartServers(TestCertificates::UnknownCa, QStringLiteral("implicit"));
    CMailAccount account = Account();
    account.POPSecurity = SecurityTls;
    account.POPPort = pop.TlsPort();
    account.SMTPSecurity = SecurityTls;
    account.SMTPPort = smtp.Port();
    account.SMTPAuth = AuthSmtpLogin;
    account.SMTPUserName = QStringLiteral("sender");
    account.SMTPPassword = QStringLiteral("wrong");
    Open(account);
    EXPECT_FALSE(Control<QPushButton>(&dialog, "cmdPinPOP")->isEnabled());
    Click(&dialog, "cmdConnectionTest");
    const QString hex =
        certificates.OpensslFingerprint(TestCertificates::UnknownCa).toLower().remove(u':');
    QStringList report = Report();
    const QString refused = QStringLiteral("サーバーとTLSで接続できませんでした: "
                                           "証明書の発行者が信頼されていません (SHA-256 ") +
                            hex + u')';
    EXPECT_TRUE(report.contains(QStringLiteral("POP3: POP3") + refused))
        << report.join(u'\n').toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("SMTP: SMTP") + refused));
    EXPECT_FALSE(report.contains(QStringLiteral("POP3: ログインしました")));
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに失敗しました"));

    // Pinning takes the fingerprint shown; the next test gets as far as the wrong password.
    Click(&dialog, "cmdPinPOP");
    Click(&dialog, "cmdPinSMTP");
    EXPECT_EQ(Text("txtPOPCertificate"), hex);
    EXPECT_EQ(Text("txtSMTPCertificate"), hex);
    Click(&dialog, "cmdConnectionTest");
    report = Report();
    EXPECT_TRUE(report.contains(QStringLiteral("POP3: ログインしました")))
        << report.join(u'\n').toStdString();
    EXPECT_TRUE(report.contains(
        QStringLiteral("SMTP: AUTH: 535 5.7.8 Authentication credentials invalid")));
    EXPECT_TRUE(report.contains(QStringLiteral(
        "SMTP: SMTPの認証に失敗しました: 535 5.7.8 Authentication credentials invalid")));
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに失敗しました"));

    Type(&dialog, "txtSMTPPassword", QStringLiteral("smtp-pass"));
    Click(&dialog, "cmdConnectionTest");
    EXPECT_EQ(Report().last(), QStringLiteral("接続テストに成功しました"));
    Click(&dialog, "Command1(0)");
    ASSERT_TRUE(dialog.DialogAccepted());
    EXPECT_EQ(dialog.EditedMailAccount()->POPCertificate, hex);
}

TEST_F(ConnectionTestDialog, AWrongHostNameAndAMissingStartTlsAreReported) {
    StartServers(TestCertificates::WrongHost, QString());
    CMailAccount account = Account();
    account.POPSecurity = SecurityTls;
    account.POPPort = pop.TlsPort();
    account.SMTPSecurity = SecurityStartTls;
    account.SMTPPort = smtp.Port();
    Open(account);
    Click(&dialog, "cmdConnectionTest");
    const QStringList report = Report();
    EXPECT_TRUE(report[1].startsWith(QStringLiteral(
        "POP3: POP3サーバーとTLSで接続できませんでした: 証明書のホスト名が一致しません")))
        << report.join(u'\n').toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("SMTP: SMTPサーバーがSTARTTLSに対応していません")));
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに失敗しました"));
}

TEST_F(ConnectionTestDialog, ReportsEachStepOfAnImapServerWithIdle) {
    const QStringList report = ImapReport(true);
    if (IsSkipped())
        return;
    ASSERT_GE(report.size(), 7) << report.join(u'\n').toStdString();
    EXPECT_EQ(report[0],
              QStringLiteral("IMAP: 接続しています... 127.0.0.1:%1").arg(pop.ImapPort()));
    EXPECT_EQ(report[1], QStringLiteral("IMAP: 接続しました"));
    EXPECT_TRUE(report[2].startsWith(QStringLiteral("IMAP: TLSで接続しました 証明書: ")));
    EXPECT_TRUE(report[3].startsWith(QStringLiteral("IMAP: 機能: IMAP4rev1")));
    EXPECT_EQ(report[4], QStringLiteral("IMAP: ログインしました"));
    EXPECT_EQ(report[5], QStringLiteral("IMAP: フォルダ INBOX を選択しました"));
    EXPECT_EQ(report[6],
              QStringLiteral("IMAP: IDLEに対応しています (新しいメールにすぐ返信します)"));
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに成功しました"));
}

TEST_F(ConnectionTestDialog, SaysWhenAnImapServerHasNoIdle) {
    const QStringList report = ImapReport(false);
    if (IsSkipped())
        return;
    EXPECT_TRUE(report.contains(
        QStringLiteral("IMAP: IDLEに対応していません (メールチェック間隔ごとに確認します)")))
        << report.join(u'\n').toStdString();
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに成功しました"));
}

// Servers that accept and never say a word.
TEST_F(ConnectionTestDialog, AGreetingThatNeverComesIsAFailure) {
    ScriptedServer silentPOP({});
    ScriptedServer silentSMTP({});
    CMailAccount account = Account();
    account.POPPort = silentPOP.Port();
    account.SMTPPort = silentSMTP.Port();
    account.Timeout = 1;
    Open(account);
    Click(&dialog, "cmdConnectionTest");
    const QStringList report = Report();
    EXPECT_TRUE(report.contains(QStringLiteral("POP3: サーバーから応答がありませんでした")))
        << report.join(u'\n').toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("POP3: 接続しました")));
    EXPECT_EQ(report.last(), QStringLiteral("接続テストに失敗しました"));
}

// While a test waits on a silent server: its button stops it, and so do Esc, Cancel and OK,
// the last two then closing the dialog with what it holds now.
TEST_F(ConnectionTestDialog, ARunningTestStopsAndTheDialogWaitsForIt) {
    const struct {
        const char* how;
        bool closes;
        bool accepted;
    } cases[] = {
        {"cmdConnectionTest", false, false},
        {"Esc", false, false},
        {"Command1(1)", true, false},
        {"Command1(0)", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        ScriptedServer silent({});
        CMailAccount account = Account();
        account.POPPort = silent.Port();
        account.Timeout = 600;
        Open(account);
        auto* button = Control<QPushButton>(&dialog, "cmdConnectionTest");
        bool waitingShown = false;
        RunWhen during([&] { return Report().size() == 1 && !Report()[0].isEmpty(); },
                       [&] {
                           waitingShown =
                               button->text() == QStringLiteral("中止") &&
                               Control<QProgressBar>(&dialog, "prgConnectionTest")->isVisible();
                           // An edit made meanwhile is kept.
                           Type(&dialog, "txtName", QStringLiteral("新しい名前"));
                           if (QByteArray(c.how) == "Esc")
                               QTest::keyClick(&dialog, Qt::Key_Escape);
                           else
                               Click(&dialog, c.how);
                       });
        Click(&dialog, "cmdConnectionTest");
        EXPECT_TRUE(during.Ran());
        EXPECT_TRUE(waitingShown);
        EXPECT_EQ(
            Report(),
            QStringList({QStringLiteral("POP3: 接続しています... 127.0.0.1:%1").arg(silent.Port()),
                         QStringLiteral("接続テストを中止しました")}));
        EXPECT_EQ(button->text(), QStringLiteral("接続テスト"));
        EXPECT_EQ(dialog.isVisible(), !c.closes);
        EXPECT_EQ(dialog.DialogAccepted(), c.accepted);
        if (c.accepted)
            EXPECT_EQ(dialog.EditedMailAccount()->Name, QStringLiteral("新しい名前"));
        else
            EXPECT_EQ(Text("txtName"), QStringLiteral("新しい名前"));
    }
}
