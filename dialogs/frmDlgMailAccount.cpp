#include "dialogs/frmDlgMailAccount.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/ErrMsg.h"
#include "dialogs/SelAllText.h"

#include "platform/MsgBox.h"
#include "settings/CParams.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A number box whose text is no whole number counts as 0.
int NumberOrZero(const QLineEdit* textBox) {
    int value = 0;
    return ReadParamNumber(textBox->text(), value) ? value : 0;
}

bool IsPort(int port) {
    return port >= 1 && port <= 65535;
}

} // namespace

frmDlgMailAccount::frmDlgMailAccount(QWidget* parent)
    : QDialog(parent), txtName(MakeTextBox("txtName")), txtMailAddr(MakeTextBox("txtMailAddr")),
      txtUserName(MakeTextBox("txtUserName")), txtPassword(MakeTextBox("txtPassword")),
      txtPOP(MakeTextBox("txtPOP")), txtPOPPort(MakeTextBox("txtPOPPort")),
      chkAPOP(MakeCheckBox("chkAPOP", QStringLiteral("MD5"))), txtSMTP(MakeTextBox("txtSMTP")),
      txtSMTPPort(MakeTextBox("txtSMTPPort")), txtTimeout(MakeTextBox("txtTimeout")) {
    txtPassword->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever the style's own mask character.
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    for (QLineEdit* textBox : {txtName, txtMailAddr, txtUserName, txtPassword, txtPOP, txtPOPPort,
                               txtSMTP, txtSMTPPort, txtTimeout})
        SelectAllOnFocus(textBox);
    const int numberWidth = txtPOPPort->fontMetrics().averageCharWidth() * 10;
    for (QLineEdit* textBox : {txtPOPPort, txtSMTPPort, txtTimeout})
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
    addRow("Label4", QStringLiteral("P&OPホスト"), txtPOP);
    grid->addWidget(MakeLabel("Label5", QStringLiteral("POPポート(&R)"), txtPOPPort), row, 2);
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

    auto* ok = MakeButton("Command1(0)", QStringLiteral("OK"));
    auto* cancel = MakeButton("Command1(1)", QStringLiteral("キャンセル"));
    connect(ok, &QPushButton::clicked, this, &frmDlgMailAccount::Command1_0_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label12);
    layout->addWidget(Frame1);
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
    txtPOPPort->setText(ParamNumberText(clsAccount.POPPort));
    chkAPOP->setChecked(clsAccount.APOP != 0);
    txtSMTP->setText(clsAccount.SMTPHost);
    txtSMTPPort->setText(ParamNumberText(clsAccount.SMTPPort));
    txtTimeout->setText(ParamNumberText(clsAccount.Timeout));
}

bool frmDlgMailAccount::CheckDlg() {
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

    const struct {
        bool failed;
        const char16_t* message;
    } checks[] = {
        {account.Name.isEmpty(), u"アカウント名が入力されていません"},
        {account.MailAddr.isEmpty(), u"メールアドレスが入力されていません"},
        {account.UserName.isEmpty(), u"ユーザー名が入力されていません"},
        {account.Password.isEmpty(), u"パスワードが入力されていません"},
        {account.POPHost.isEmpty(), u"POP3が入力されていません"},
        {!IsPort(account.POPPort), u"POP3ポート値が不正です"},
        {account.SMTPHost.isEmpty(), u"SMTPが入力されていません"},
        {!IsPort(account.SMTPPort), u"SMTPポート値が不正です"},
        {account.Timeout < 0, u"タイムアウト値が不正です"},
    };
    for (const auto& check : checks)
        if (check.failed) {
            ErrMsg(QString::fromUtf16(check.message));
            return false;
        }
    edited = account;
    return true;
}

void frmDlgMailAccount::Command1_0_Click() {
    if (!CheckDlg())
        return;
    accepted = true;
    accept();
}
