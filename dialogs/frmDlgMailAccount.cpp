#include "dialogs/frmDlgMailAccount.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/ErrMsg.h"
#include "dialogs/NumberBox.h"
#include "dialogs/SelAllText.h"

#include "mailcheck/ConnectionTest.h"
#include "platform/EventPump.h"
#include "platform/MsgBox.h"
#include "settings/CParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

// A number box whose text is no whole number counts as 0.
int NumberOrZero(const QLineEdit* textBox) {
    int value = 0;
    return ReadNumberBox(textBox, value) ? value : 0;
}

bool IsPort(int port) {
    return port >= 1 && port <= 65535;
}

// The usual port of each security choice: none, STARTTLS (STLS), TLS from the start.
constexpr int UsualPOPPorts[3] = {110, 110, 995};
constexpr int UsualIMAPPorts[3] = {143, 143, 993};
constexpr int UsualSMTPPorts[3] = {25, 587, 465};

int UsualPort(const int ports[3], const QComboBox* security) {
    const int choice = security->currentIndex();
    return ports[choice >= 0 && choice < 3 ? choice : 0];
}

// The incoming protocol's name in the messages that the POP3 account always had.
QString ProtocolName(int protocol) {
    return protocol == ProtocolIMAP ? QStringLiteral("IMAP") : QStringLiteral("POP3");
}

const QString TestCaption = QStringLiteral("接続テスト");
const QString StopCaption = QStringLiteral("中止");

QComboBox* MakeChoice(const char* objectName, std::initializer_list<const char16_t*> items) {
    QComboBox* list = MakeDropDownList(objectName);
    for (const char16_t* item : items)
        list->addItem(QString::fromUtf16(item));
    return list;
}

int Choice(const QComboBox* list, int value) {
    return value >= 0 && value < list->count() ? value : 0;
}

} // namespace

frmDlgMailAccount::frmDlgMailAccount(QWidget* parent)
    : QDialog(parent), txtName(MakeTextBox("txtName")), txtMailAddr(MakeTextBox("txtMailAddr")),
      txtUserName(MakeTextBox("txtUserName")), txtPassword(MakeTextBox("txtPassword")),
      txtPOP(MakeTextBox("txtPOP")), txtPOPPort(MakeTextBox("txtPOPPort")),
      chkAPOP(MakeCheckBox("chkAPOP", QStringLiteral("MD5"))), txtSMTP(MakeTextBox("txtSMTP")),
      txtSMTPPort(MakeTextBox("txtSMTPPort")), txtTimeout(MakeTextBox("txtTimeout")),
      cboMailProtocol(MakeChoice("cboMailProtocol", {u"POP3", u"IMAP"})),
      txtIMAPFolder(MakeTextBox("txtIMAPFolder")),
      cboPOPSecurity(MakeChoice("cboPOPSecurity", {u"なし", u"STLS", u"SSL/TLS"})),
      txtPOPCertificate(MakeTextBox("txtPOPCertificate")),
      cboSMTPSecurity(MakeChoice("cboSMTPSecurity", {u"なし", u"STARTTLS", u"SSL/TLS"})),
      txtSMTPCertificate(MakeTextBox("txtSMTPCertificate")),
      cboSMTPAuth(MakeChoice("cboSMTPAuth", {u"なし", u"受信サーバーと同じユーザー名とパスワード",
                                             u"SMTP用のユーザー名とパスワード"})),
      txtSMTPUserName(MakeTextBox("txtSMTPUserName")),
      txtSMTPPassword(MakeTextBox("txtSMTPPassword")),
      chkSMTPAuthWithoutTLS(MakeCheckBox("chkSMTPAuthWithoutTLS",
                                         QStringLiteral("暗号化されていない接続でも認証する"))),
      cmdConnectionTest(MakeButton("cmdConnectionTest", TestCaption)),
      prgConnectionTest(new QProgressBar),
      cmdPinPOP(MakeButton("cmdPinPOP", QStringLiteral("登録"))),
      cmdPinSMTP(MakeButton("cmdPinSMTP", QStringLiteral("登録"))),
      txtTestReport(new QPlainTextEdit) {
    for (QLineEdit* password : {txtPassword, txtSMTPPassword}) {
        password->setEchoMode(QLineEdit::Password);
        // Every character shows as "*", whatever the style's own mask character.
        password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    for (QLineEdit* textBox : {txtName, txtMailAddr, txtUserName, txtPassword, txtPOP, txtPOPPort,
                               txtSMTP, txtSMTPPort, txtTimeout, txtIMAPFolder, txtPOPCertificate,
                               txtSMTPCertificate, txtSMTPUserName, txtSMTPPassword})
        SelectAllOnFocus(textBox);
    const int numberWidth = txtPOPPort->fontMetrics().averageCharWidth() * 10;
    for (QLineEdit* textBox : {txtPOPPort, txtSMTPPort, txtTimeout, txtIMAPFolder})
        textBox->setMaximumWidth(numberWidth);

    auto* Label12 = MakeLabel(
        "Label12", AppTitle() + QStringLiteral("でのみ使用するメールアカウントを使用してください"));
    Label12->setWordWrap(true);

    auto* Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(Frame1);
    int row = 0;
    const auto addRow = [&](const char* name, const QString& caption, QWidget* field) {
        grid->addWidget(MakeLabel(name, caption, field), row, 0);
        grid->addWidget(field, row, 1);
    };
    addRow("Label1", QStringLiteral("アカウント名(&N)"), txtName);
    ++row;
    addRow("Label9", QStringLiteral("メールアドレス(&M)"), txtMailAddr);
    grid->addWidget(MakeLine("Line3"), ++row, 0, 1, 4);
    ++row;
    addRow("Label2", QStringLiteral("ユーザー名(&U)"), txtUserName);
    ++row;
    addRow("Label3", QStringLiteral("パスワード(&P)"), txtPassword);
    ++row;
    addRow("Label21", QStringLiteral("受信方式(&I)"), cboMailProtocol);
    grid->addWidget(MakeLabel("Label22", QStringLiteral("フォルダ(&F)"), txtIMAPFolder), row, 2);
    grid->addWidget(txtIMAPFolder, row, 3);
    ++row;
    addRow("Label4", QStringLiteral("受信サーバー(&O)"), txtPOP);
    grid->addWidget(MakeLabel("Label5", QStringLiteral("ポート(&R)"), txtPOPPort), row, 2);
    grid->addWidget(txtPOPPort, row, 3);
    ++row;
    addRow("Label6", QStringLiteral("&APOP"), chkAPOP);
    ++row;
    addRow("Label7", QStringLiteral("&SMTPホスト"), txtSMTP);
    grid->addWidget(MakeLabel("Label8", QStringLiteral("SMTPポート(&T)"), txtSMTPPort), row, 2);
    grid->addWidget(txtSMTPPort, row, 3);
    grid->addWidget(MakeLine("Line4"), ++row, 0, 1, 4);
    ++row;
    grid->addWidget(MakeLabel("Label10", QStringLiteral("タイムアウト"), txtTimeout), row, 0);
    auto* timeout = new QHBoxLayout;
    timeout->addWidget(txtTimeout);
    timeout->addWidget(MakeLabel("Label11", QStringLiteral("秒")));
    timeout->addStretch();
    grid->addLayout(timeout, row, 1);
    grid->setColumnMinimumWidth(1, txtName->fontMetrics().averageCharWidth() * 32);

    auto* Frame2 = new QGroupBox(QStringLiteral("セキュリティ"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* security = new QGridLayout(Frame2);
    // Three columns, so that the group stands beside the account's and the dialog fits a
    // 720-pixel screen.
    int at = 0;
    const auto addSecurityRows = [&](const char* label, const QString& caption, QWidget* field,
                                     const char* pinLabel, QLineEdit* pin, QPushButton* pinButton) {
        security->addWidget(MakeLabel(label, caption, field), at, 0);
        security->addWidget(field, at++, 1, 1, 2);
        security->addWidget(MakeLabel(pinLabel, QStringLiteral("証明書"), pin), at, 0);
        security->addWidget(pin, at, 1);
        security->addWidget(pinButton, at++, 2);
    };
    addSecurityRows("Label13", QStringLiteral("受信サーバーの暗号化"), cboPOPSecurity, "Label14",
                    txtPOPCertificate, cmdPinPOP);
    addSecurityRows("Label15", QStringLiteral("SMTPの暗号化"), cboSMTPSecurity, "Label16",
                    txtSMTPCertificate, cmdPinSMTP);
    security->addWidget(MakeLabel("Label17", QStringLiteral("SMTP認証"), cboSMTPAuth), at, 0);
    security->addWidget(cboSMTPAuth, at++, 1, 1, 2);
    security->addWidget(chkSMTPAuthWithoutTLS, at++, 1, 1, 2);
    security->addWidget(MakeLabel("Label18", QStringLiteral("SMTPユーザー名"), txtSMTPUserName), at,
                        0);
    security->addWidget(txtSMTPUserName, at++, 1, 1, 2);
    security->addWidget(MakeLabel("Label19", QStringLiteral("SMTPパスワード"), txtSMTPPassword), at,
                        0);
    security->addWidget(txtSMTPPassword, at++, 1, 1, 2);
    // Two lines of their own: a wrapped label in a fixed-size dialog keeps one line's height.
    auto* Label20 = MakeLabel(
        "Label20", QStringLiteral("TLS (STLS、STARTTLS、SSL/TLS) の使用をおすすめします。\n"
                                  "APOPは暗号化できないサーバーのためのものです。"));
    security->addWidget(Label20, at, 0, 1, 3);
    txtPOPCertificate->setMinimumWidth(txtName->fontMetrics().averageCharWidth() * 24);
    txtPOPCertificate->setPlaceholderText(QStringLiteral("SHA-256"));
    txtSMTPCertificate->setPlaceholderText(QStringLiteral("SHA-256"));
    for (QPushButton* pin : {cmdPinPOP, cmdPinSMTP})
        pin->setToolTip(QStringLiteral("接続テストで見た証明書を登録します"));

    txtTestReport->setObjectName(QStringLiteral("txtTestReport"));
    txtTestReport->setReadOnly(true);
    txtTestReport->setMinimumHeight(txtName->fontMetrics().height() * 6);
    // Six lines at least, and whatever height the security group leaves beside the account.
    txtTestReport->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    // While a test runs its button stops it, and the bar moves to show that a step waits.
    prgConnectionTest->setObjectName(QStringLiteral("prgConnectionTest"));
    prgConnectionTest->setRange(0, 0);
    prgConnectionTest->setTextVisible(false);
    prgConnectionTest->hide();
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(cmdConnectionTest);
    testRow->addWidget(prgConnectionTest);
    testRow->addStretch();
    cmdPinPOP->setEnabled(false);
    cmdPinSMTP->setEnabled(false);

    connect(cboMailProtocol, &QComboBox::currentIndexChanged, this,
            &frmDlgMailAccount::cboMailProtocol_Click);
    connect(cboPOPSecurity, &QComboBox::currentIndexChanged, this,
            [this] { MoveToUsualPort(txtPOPPort, popUsualShown, UsualIncomingPort()); });
    connect(cboSMTPSecurity, &QComboBox::currentIndexChanged, this, [this] {
        MoveToUsualPort(txtSMTPPort, smtpUsualShown, UsualPort(UsualSMTPPorts, cboSMTPSecurity));
    });
    connect(cboSMTPAuth, &QComboBox::currentIndexChanged, this,
            &frmDlgMailAccount::cboSMTPAuth_Click);
    connect(cmdConnectionTest, &QPushButton::clicked, this,
            &frmDlgMailAccount::cmdConnectionTest_Click);
    connect(cmdPinPOP, &QPushButton::clicked, this,
            [this] { txtPOPCertificate->setText(popSeen); });
    connect(cmdPinSMTP, &QPushButton::clicked, this,
            [this] { txtSMTPCertificate->setText(smtpSeen); });

    auto* ok = MakeButton("Command1(0)", QStringLiteral("OK"));
    auto* cancel = MakeButton("Command1(1)", QStringLiteral("キャンセル"));
    connect(ok, &QPushButton::clicked, this, &frmDlgMailAccount::Command1_0_Click);

    // The account on the left; its security and the connection test on the right.
    auto* right = new QVBoxLayout;
    right->addWidget(Frame2);
    right->addLayout(testRow);
    right->addWidget(txtTestReport, 1);
    auto* columns = new QHBoxLayout;
    columns->addWidget(Frame1, 0, Qt::AlignTop);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label12);
    layout->addLayout(columns);
    layout->addLayout(MakeButtonRow(this, ok, cancel));
    MakeFixedDialog(this, QStringLiteral("メールアカウント"));
}

bool frmDlgMailAccount::DlgNew() {
    return DlgLoad(CMailAccount());
}

bool frmDlgMailAccount::DlgLoad(const CMailAccount& clsAccount) {
    Loadset(clsAccount);
    ShowModalCentred(this);
    return accepted;
}

void frmDlgMailAccount::Loadset(const CMailAccount& clsAccount) {
    accepted = false;
    edited.reset();
    txtName->setText(clsAccount.Name);
    txtMailAddr->setText(clsAccount.MailAddr);
    txtUserName->setText(clsAccount.UserName);
    txtPassword->setText(clsAccount.Password);
    txtPOP->setText(clsAccount.POPHost);
    chkAPOP->setChecked(clsAccount.APOP != 0);
    txtSMTP->setText(clsAccount.SMTPHost);
    txtTimeout->setText(ParamNumberText(clsAccount.Timeout));
    txtIMAPFolder->setText(clsAccount.IMAPFolder);
    cboMailProtocol->setCurrentIndex(Choice(cboMailProtocol, clsAccount.MailProtocol));
    cboPOPSecurity->setCurrentIndex(Choice(cboPOPSecurity, clsAccount.POPSecurity));
    cboSMTPSecurity->setCurrentIndex(Choice(cboSMTPSecurity, clsAccount.SMTPSecurity));
    // The ports as stored, whatever the choices' usual ones.
    txtPOPPort->setText(ParamNumberText(clsAccount.POPPort));
    txtSMTPPort->setText(ParamNumberText(clsAccount.SMTPPort));
    popUsualShown = UsualIncomingPort();
    smtpUsualShown = UsualPort(UsualSMTPPorts, cboSMTPSecurity);
    cboMailProtocol_Click();
    txtPOPCertificate->setText(clsAccount.POPCertificate);
    txtSMTPCertificate->setText(clsAccount.SMTPCertificate);
    cboSMTPAuth->setCurrentIndex(Choice(cboSMTPAuth, clsAccount.SMTPAuth));
    txtSMTPUserName->setText(clsAccount.SMTPUserName);
    txtSMTPPassword->setText(clsAccount.SMTPPassword);
    chkSMTPAuthWithoutTLS->setChecked(clsAccount.SMTPAuthWithoutTLS != 0);
    cboSMTPAuth_Click();
    txtTestReport->clear();
    popSeen.clear();
    smtpSeen.clear();
    cmdPinPOP->setEnabled(false);
    cmdPinSMTP->setEnabled(false);
}

CMailAccount frmDlgMailAccount::ReadControls() const {
    CMailAccount account;
    account.Name = txtName->text();
    account.MailAddr = txtMailAddr->text();
    account.UserName = txtUserName->text();
    account.Password = txtPassword->text();
    account.POPHost = txtPOP->text();
    account.POPPort = NumberOrZero(txtPOPPort);
    account.APOP = chkAPOP->isChecked() ? 1 : 0;
    account.SMTPHost = txtSMTP->text();
    account.SMTPPort = NumberOrZero(txtSMTPPort);
    account.Timeout = NumberOrZero(txtTimeout);
    account.MailProtocol = cboMailProtocol->currentIndex();
    account.IMAPFolder = txtIMAPFolder->text().trimmed();
    account.POPSecurity = cboPOPSecurity->currentIndex();
    account.SMTPSecurity = cboSMTPSecurity->currentIndex();
    account.POPCertificate = txtPOPCertificate->text().trimmed();
    account.SMTPCertificate = txtSMTPCertificate->text().trimmed();
    account.SMTPAuth = cboSMTPAuth->currentIndex();
    // The SMTP login is kept only where it is used, so that main.mla holds no stale password.
    if (account.SMTPAuth == AuthSmtpLogin) {
        account.SMTPUserName = txtSMTPUserName->text();
        account.SMTPPassword = txtSMTPPassword->text();
    }
    account.SMTPAuthWithoutTLS =
        account.SMTPAuth != AuthNone && chkSMTPAuthWithoutTLS->isChecked() ? 1 : 0;
    return account;
}

void frmDlgMailAccount::MoveToUsualPort(QLineEdit* port, int& usualShown, int usual) {
    if (NumberOrZero(port) == usualShown)
        port->setText(ParamNumberText(usual));
    usualShown = usual;
}

int frmDlgMailAccount::UsualIncomingPort() const {
    return UsualPort(cboMailProtocol->currentIndex() == ProtocolIMAP ? UsualIMAPPorts
                                                                     : UsualPOPPorts,
                     cboPOPSecurity);
}

void frmDlgMailAccount::cboMailProtocol_Click() {
    const bool imap = cboMailProtocol->currentIndex() == ProtocolIMAP;
    // APOP is POP3's; a folder is IMAP's.
    chkAPOP->setEnabled(!imap);
    txtIMAPFolder->setEnabled(imap);
    cboPOPSecurity->setItemText(SecurityStartTls,
                                imap ? QStringLiteral("STARTTLS") : QStringLiteral("STLS"));
    MoveToUsualPort(txtPOPPort, popUsualShown, UsualIncomingPort());
}

void frmDlgMailAccount::cboSMTPAuth_Click() {
    const bool ownLogin = cboSMTPAuth->currentIndex() == AuthSmtpLogin;
    txtSMTPUserName->setEnabled(ownLogin);
    txtSMTPPassword->setEnabled(ownLogin);
    chkSMTPAuthWithoutTLS->setEnabled(cboSMTPAuth->currentIndex() != AuthNone);
}

void frmDlgMailAccount::cmdConnectionTest_Click() {
    if (test.Running()) {
        test.Stop();
        return;
    }
    txtTestReport->clear();
    cmdConnectionTest->setText(StopCaption);
    prgConnectionTest->show();
    const ConnectionTestResult result = test.Run(ReadControls(), [this](const QString& line) {
        txtTestReport->appendPlainText(line);
        // Shown as it comes: the next step may wait for its server.
        DoEvents();
    });
    prgConnectionTest->hide();
    cmdConnectionTest->setText(TestCaption);
    popSeen = result.POPCertificate.Fingerprint;
    smtpSeen = result.SMTPCertificate.Fingerprint;
    cmdPinPOP->setEnabled(!popSeen.isEmpty());
    cmdPinSMTP->setEnabled(!smtpSeen.isEmpty());
    // OK or a close asked for while the test ran, now that it no longer runs.
    switch (std::exchange(afterTest, AfterTest::Stay)) {
    case AfterTest::Accept:
        Command1_0_Click();
        break;
    case AfterTest::Reject:
        reject();
        break;
    case AfterTest::Stay:
        break;
    }
}

void frmDlgMailAccount::reject() {
    if (!test.Running()) {
        QDialog::reject();
        return;
    }
    afterTest = AfterTest::Reject;
    test.Stop();
}

void frmDlgMailAccount::keyPressEvent(QKeyEvent* event) {
    // Esc stops a running test and leaves the dialog open.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && test.Running()) {
        test.Stop();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmDlgMailAccount::CheckDlg() {
    CMailAccount account = ReadControls();
    const auto badPin = [](const QString& pin) {
        return !pin.isEmpty() && NormalizedFingerprint(pin).isEmpty();
    };

    const struct {
        bool failed;
        const char16_t* message;
        bool afterProtocol = false; // the message follows the incoming protocol's name
    } checks[] = {
        {account.Name.isEmpty(), u"アカウント名が入力されていません"},
        {account.MailAddr.isEmpty(), u"メールアドレスが入力されていません"},
        {account.UserName.isEmpty(), u"ユーザー名が入力されていません"},
        {account.Password.isEmpty(), u"パスワードが入力されていません"},
        {account.POPHost.isEmpty(), u"が入力されていません", true},
        {!IsPort(account.POPPort), u"ポート値が不正です", true},
        {account.SMTPHost.isEmpty(), u"SMTPが入力されていません"},
        {!IsPort(account.SMTPPort), u"SMTPポート値が不正です"},
        {account.Timeout < 0, u"タイムアウト値が不正です"},
        {account.SMTPAuth == AuthSmtpLogin && account.SMTPUserName.isEmpty(),
         u"SMTPユーザー名が入力されていません"},
        {account.MailProtocol == ProtocolIMAP && account.IMAPFolder.isEmpty(),
         u"IMAPのフォルダが入力されていません"},
        {badPin(account.POPCertificate) || badPin(account.SMTPCertificate),
         u"証明書のフィンガープリントが不正です"},
    };
    for (const auto& check : checks)
        if (check.failed) {
            ErrMsg((check.afterProtocol ? ProtocolName(account.MailProtocol) : QString()) +
                   QString::fromUtf16(check.message));
            return false;
        }
    // Stored as the connection compares it.
    account.POPCertificate = NormalizedFingerprint(account.POPCertificate);
    account.SMTPCertificate = NormalizedFingerprint(account.SMTPCertificate);
    edited = account;
    return true;
}

void frmDlgMailAccount::Command1_0_Click() {
    if (test.Running()) {
        afterTest = AfterTest::Accept;
        test.Stop();
        return;
    }
    if (!CheckDlg())
        return;
    accepted = true;
    accept();
}
