#include "dialogs/frmDlgOption.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/ErrMsg.h"
#include "dialogs/NumberBox.h"
#include "dialogs/SelAllText.h"

#include "settings/CParams.h"
#include "settings/ProgramObjects.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A trusted id is one header token, as servers write their names: white space, control
// characters, quotes and the characters that end or comment a token have no place in it.
bool IsFitAuthServId(const QString& id) {
    for (const QChar c : id)
        if (c.isSpace() || c.category() == QChar::Other_Control ||
            QStringView(u"();=\"\\").contains(c))
            return false;
    return true;
}

} // namespace

frmDlgOption::frmDlgOption(QWidget* parent)
    : QDialog(parent), txtMailCheckInterval(MakeTextBox("txtMailCheckInterval")),
      txtAcceptedLeftSubject(MakeTextBox("txtAcceptedLeftSubject")),
      chkMailCheckToDelete(
          MakeCheckBox("chkMailCheckToDelete",
                       QStringLiteral("受信した返信可能なメールは返信後にサーバーから削除する"))),
      chkRequireAuthenticatedSender(
          MakeCheckBox("chkRequireAuthenticatedSender",
                       QStringLiteral("送信者が認証されたメールにだけ返信する(&A)"))),
      txtTrustedAuthServId(MakeTextBox("txtTrustedAuthServId")),
      txtMaxRepliesPerSenderPerHour(MakeTextBox("txtMaxRepliesPerSenderPerHour")) {
    for (QLineEdit* number : {txtMailCheckInterval, txtMaxRepliesPerSenderPerHour}) {
        SelectAllOnFocus(number);
        number->setMaximumWidth(number->fontMetrics().averageCharWidth() * 12);
    }

    auto* interval = new QHBoxLayout;
    interval->addWidget(
        MakeLabel("Label1", QStringLiteral("メールチェック間隔(&I)"), txtMailCheckInterval));
    interval->addWidget(txtMailCheckInterval);
    interval->addWidget(MakeLabel("Label2", QStringLiteral("分")));
    interval->addStretch();

    auto* trustedId = new QHBoxLayout;
    trustedIdLabels[0] =
        MakeLabel("Label5", QStringLiteral("信頼する認証サーバーID(&T)"), txtTrustedAuthServId);
    trustedId->addWidget(trustedIdLabels[0]);
    trustedId->addWidget(txtTrustedAuthServId);
    trustedIdLabels[1] = MakeLabel(
        "Label6", QStringLiteral("(受信サーバーがヘッダーに書く名前。例: mx.example.jp)"));
    connect(chkRequireAuthenticatedSender, &QCheckBox::toggled, this,
            &frmDlgOption::chkRequireAuthenticatedSender_Click);

    auto* limit = new QHBoxLayout;
    limit->addWidget(MakeLabel("Label7", QStringLiteral("同じ送信者への返信の上限(&L)"),
                               txtMaxRepliesPerSenderPerHour));
    limit->addWidget(txtMaxRepliesPerSenderPerHour);
    limit->addWidget(MakeLabel("Label8", QStringLiteral("通/60分 (0は無制限)")));
    limit->addStretch();

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
    layout->addWidget(MakeLine("Line3"));
    layout->addWidget(chkRequireAuthenticatedSender);
    layout->addWidget(MakeLabel(
        "Label4", QStringLiteral("(受信サーバーのAuthentication-Resultsヘッダーが dmarc=pass か、\n"
                                 "差出人のドメインの dkim=pass を示すメールだけに返信します)")));
    layout->addLayout(trustedId);
    layout->addWidget(trustedIdLabels[1]);
    layout->addLayout(limit);
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
    chkRequireAuthenticatedSender->setChecked(RequireAuthenticatedSender);
    txtTrustedAuthServId->setText(TrustedAuthServId);
    txtMaxRepliesPerSenderPerHour->setText(ParamNumberText(MaxRepliesPerSenderPerHour));
    chkRequireAuthenticatedSender_Click();
}

bool frmDlgOption::CheckSetting() {
    int interval = 0;
    if (!ReadNumberBox(txtMailCheckInterval, interval) || interval < 1) {
        ErrMsg(QStringLiteral("メールチェック間隔の値が不正です"));
        return false;
    }
    const bool requireAuthenticated = chkRequireAuthenticatedSender->isChecked();
    // The options file trims a value, so the id is kept as it will read back.
    const QString trustedId = txtTrustedAuthServId->text().trimmed();
    if (requireAuthenticated && trustedId.isEmpty()) {
        ErrMsg(QStringLiteral("信頼する認証サーバーIDが入力されていません"));
        return false;
    }
    if (requireAuthenticated && !IsFitAuthServId(trustedId)) {
        ErrMsg(QStringLiteral("信頼する認証サーバーIDの値が不正です"));
        return false;
    }
    int replies = 0;
    if (!ReadNumberBox(txtMaxRepliesPerSenderPerHour, replies) || replies < 0 ||
        replies > MaxRepliesPerSenderPerHourLimit) {
        ErrMsg(QStringLiteral("返信の上限の値が不正です (0から%1まで)")
                   .arg(MaxRepliesPerSenderPerHourLimit));
        return false;
    }
    MailCheckInterval = interval;
    AcceptedLeftSubject = txtAcceptedLeftSubject->text();
    DeleteAfterReply = chkMailCheckToDelete->isChecked();
    RequireAuthenticatedSender = requireAuthenticated;
    TrustedAuthServId = trustedId;
    MaxRepliesPerSenderPerHour = replies;
    return true;
}

void frmDlgOption::chkRequireAuthenticatedSender_Click() {
    const bool enabled = chkRequireAuthenticatedSender->isChecked();
    txtTrustedAuthServId->setEnabled(enabled);
    for (QWidget* label : trustedIdLabels)
        label->setEnabled(enabled);
}

void frmDlgOption::cmdOK_Click() {
    if (CheckSetting())
        accept();
}
