#include "dialogs/frmDlgOption.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/ErrMsg.h"
#include "dialogs/SelAllText.h"

#include "settings/CParams.h"
#include "settings/ProgramObjects.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmDlgOption::frmDlgOption(QWidget* parent)
    : QDialog(parent), txtMailCheckInterval(MakeTextBox("txtMailCheckInterval")),
      txtAcceptedLeftSubject(MakeTextBox("txtAcceptedLeftSubject")),
      chkMailCheckToDelete(
          MakeCheckBox("chkMailCheckToDelete",
                       QStringLiteral("受信した返信可能なメールは返信後にサーバーから削除する"))) {
    SelectAllOnFocus(txtMailCheckInterval);
    txtMailCheckInterval->setMaximumWidth(txtMailCheckInterval->fontMetrics().averageCharWidth() *
                                          12);

    auto* interval = new QHBoxLayout;
    interval->addWidget(
        MakeLabel("Label1", QStringLiteral("メールチェック間隔(&I)"), txtMailCheckInterval));
    interval->addWidget(txtMailCheckInterval);
    interval->addWidget(MakeLabel("Label2", QStringLiteral("分")));
    interval->addStretch();

    auto* cmdOK = MakeButton("cmdOK", QStringLiteral("OK"));
    auto* cmdCancel = MakeButton("cmdCancel", QStringLiteral("キャンセル"));
    connect(cmdOK, &QPushButton::clicked, this, &frmDlgOption::cmdOK_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(interval);
    layout->addWidget(MakeLine("Line1"));
    layout->addWidget(MakeLabel("Label3",
                                QStringLiteral("件名の先頭文字列による自動返信の許可(&S)\n"
                                               "(設定が空の場合はこの機能は無視されます)"),
                                txtAcceptedLeftSubject));
    layout->addWidget(txtAcceptedLeftSubject);
    layout->addWidget(chkMailCheckToDelete);
    layout->addWidget(MakeLine("Line2"));
    layout->addLayout(MakeButtonRow(this, cmdOK, cmdCancel));
    MakeFixedDialog(this, QStringLiteral("オプション"));
}

void frmDlgOption::DlgShow() {
    Loadset();
    ShowModalCentred(this);
}

void frmDlgOption::Loadset() {
    txtMailCheckInterval->setText(ParamNumberText(MailCheckInterval));
    txtAcceptedLeftSubject->setText(AcceptedLeftSubject);
    chkMailCheckToDelete->setChecked(DeleteAfterReply);
}

bool frmDlgOption::CheckSetting() {
    int interval = 0;
    if (!ReadParamNumber(txtMailCheckInterval->text(), interval) || interval < 1) {
        ErrMsg(QStringLiteral("メールチェック間隔の値が不正です"));
        return false;
    }
    MailCheckInterval = interval;
    AcceptedLeftSubject = txtAcceptedLeftSubject->text();
    DeleteAfterReply = chkMailCheckToDelete->isChecked();
    return true;
}

void frmDlgOption::cmdOK_Click() {
    if (CheckSetting())
        accept();
}
