#include "dialogs/frmDlgOption.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/ErrMsg.h"
#include "dialogs/NumberBox.h"
#include "dialogs/SelAllText.h"

#include "settings/CParams.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"

#include <QCheckBox>
#include <QComboBox>
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

// A row of a label, a number box and the unit after it.
QHBoxLayout* NumberRow(QLabel* label, QLineEdit* box, QLabel* unit) {
    SelectAllOnFocus(box);
    box->setMaximumWidth(box->fontMetrics().averageCharWidth() * 12);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(box);
    row->addWidget(unit);
    row->addStretch();
    return row;
}

// Reads box as a number that range allows. Otherwise shows "NAMEの値が不正です (AからBまで)",
// puts the focus on the box and answers false.
bool ReadNumberIn(QLineEdit* box, const OptionNumber& range, const QString& name, int& retValue) {
    if (ReadNumberBox(box, retValue) && range.Allows(retValue))
        return true;
    ErrMsg(QStringLiteral("%1の値が不正です (%2から%3まで)")
               .arg(name)
               .arg(range.Minimum)
               .arg(range.Maximum));
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

constexpr OptionNumber ReplyLimitRange{0, MaxRepliesPerSenderPerHourLimit, 0};

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
      txtMaxRepliesPerSenderPerHour(MakeTextBox("txtMaxRepliesPerSenderPerHour")),
      chkMotionAlert(MakeCheckBox("chkMotionAlert",
                                  QStringLiteral("動きを検知したら写真をメールで知らせる(&M)"))),
      cboMotionAlertSetting(MakeDropDownList("cboMotionAlertSetting")),
      txtMotionSensitivity(MakeTextBox("txtMotionSensitivity")),
      txtMotionAlertInterval(MakeTextBox("txtMotionAlertInterval")),
      txtMotionIgnoreSeconds(MakeTextBox("txtMotionIgnoreSeconds")) {
    QHBoxLayout* interval = NumberRow(
        MakeLabel("Label1", QStringLiteral("メールチェック間隔(&I)"), txtMailCheckInterval),
        txtMailCheckInterval, MakeLabel("Label2", QStringLiteral("分")));

    auto* trustedId = new QHBoxLayout;
    trustedIdLabels[0] =
        MakeLabel("Label5", QStringLiteral("信頼する認証サーバーID(&T)"), txtTrustedAuthServId);
    trustedId->addWidget(trustedIdLabels[0]);
    trustedId->addWidget(txtTrustedAuthServId);
    trustedIdLabels[1] = MakeLabel(
        "Label6", QStringLiteral("(受信サーバーがヘッダーに書く名前。例: mx.example.jp)"));
    connect(chkRequireAuthenticatedSender, &QCheckBox::toggled, this,
            &frmDlgOption::chkRequireAuthenticatedSender_Click);

    QHBoxLayout* limit = NumberRow(
        MakeLabel("Label7", QStringLiteral("同じ送信者への返信の上限(&L)"),
                  txtMaxRepliesPerSenderPerHour),
        txtMaxRepliesPerSenderPerHour, MakeLabel("Label8", QStringLiteral("通/60分 (0は無制限)")));

    auto* motionSetting = new QHBoxLayout;
    motionSettingLabel =
        MakeLabel("Label9", QStringLiteral("通知先の返信アカウント(&N)"), cboMotionAlertSetting);
    motionSetting->addWidget(motionSettingLabel);
    motionSetting->addWidget(cboMotionAlertSetting, 1);
    connect(chkMotionAlert, &QCheckBox::toggled, this, &frmDlgOption::chkMotionAlert_Click);
    QHBoxLayout* sensitivity = NumberRow(
        MakeLabel("Label10", QStringLiteral("感度(&V)"), txtMotionSensitivity),
        txtMotionSensitivity,
        MakeLabel("Label11", QStringLiteral("(1～100。大きいほど小さな動きも検知します)")));
    QHBoxLayout* alertInterval =
        NumberRow(MakeLabel("Label12", QStringLiteral("通知の間隔(&G)"), txtMotionAlertInterval),
                  txtMotionAlertInterval, MakeLabel("Label13", QStringLiteral("分以上")));
    QHBoxLayout* ignore =
        NumberRow(MakeLabel("Label14", QStringLiteral("起動やカメラの接続の後、検知しない時間(&W)"),
                            txtMotionIgnoreSeconds),
                  txtMotionIgnoreSeconds, MakeLabel("Label15", QStringLiteral("秒")));

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
    layout->addWidget(MakeLine("Line4"));
    layout->addWidget(chkMotionAlert);
    layout->addLayout(motionSetting);
    layout->addLayout(sensitivity);
    layout->addLayout(alertInterval);
    layout->addLayout(ignore);
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
    chkMotionAlert->setChecked(MotionAlert);
    cboMotionAlertSetting->clear();
    for (const CResAccount& setting : ResponseSettings)
        cboMotionAlertSetting->addItem(setting.Name);
    // A setting that no longer exists shows as no choice.
    cboMotionAlertSetting->setCurrentIndex(FindResponseSettingByName(MotionAlertSetting) - 1);
    txtMotionSensitivity->setText(ParamNumberText(MotionSensitivity));
    txtMotionAlertInterval->setText(ParamNumberText(MotionAlertInterval));
    txtMotionIgnoreSeconds->setText(ParamNumberText(MotionIgnoreSeconds));
    chkMotionAlert_Click();
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
    if (!ReadNumberIn(txtMaxRepliesPerSenderPerHour, ReplyLimitRange, QStringLiteral("返信の上限"),
                      replies))
        return false;
    const bool motionAlert = chkMotionAlert->isChecked();
    if (motionAlert && cboMotionAlertSetting->currentIndex() < 0) {
        ErrMsg(QStringLiteral("通知先の返信アカウントが選ばれていません"));
        cboMotionAlertSetting->setFocus(Qt::OtherFocusReason);
        return false;
    }
    int sensitivity = 0, alertInterval = 0, ignoreSeconds = 0;
    if (!ReadNumberIn(txtMotionSensitivity, MotionSensitivityRange, QStringLiteral("感度"),
                      sensitivity) ||
        !ReadNumberIn(txtMotionAlertInterval, MotionAlertIntervalRange,
                      QStringLiteral("通知の間隔"), alertInterval) ||
        !ReadNumberIn(txtMotionIgnoreSeconds, MotionIgnoreSecondsRange,
                      QStringLiteral("検知しない時間"), ignoreSeconds))
        return false;
    MailCheckInterval = interval;
    AcceptedLeftSubject = txtAcceptedLeftSubject->text();
    DeleteAfterReply = chkMailCheckToDelete->isChecked();
    RequireAuthenticatedSender = requireAuthenticated;
    TrustedAuthServId = trustedId;
    MaxRepliesPerSenderPerHour = replies;
    MotionAlert = motionAlert;
    MotionAlertSetting = cboMotionAlertSetting->currentText();
    MotionSensitivity = sensitivity;
    MotionAlertInterval = alertInterval;
    MotionIgnoreSeconds = ignoreSeconds;
    return true;
}

void frmDlgOption::chkRequireAuthenticatedSender_Click() {
    const bool enabled = chkRequireAuthenticatedSender->isChecked();
    txtTrustedAuthServId->setEnabled(enabled);
    for (QWidget* label : trustedIdLabels)
        label->setEnabled(enabled);
}

void frmDlgOption::chkMotionAlert_Click() {
    const bool enabled = chkMotionAlert->isChecked();
    cboMotionAlertSetting->setEnabled(enabled);
    motionSettingLabel->setEnabled(enabled);
}

void frmDlgOption::cmdOK_Click() {
    if (CheckSetting())
        accept();
}
