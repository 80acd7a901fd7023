#pragma once
// The option dialog: the mail check interval, the subject prefix of a request, whether
// answered mails are deleted from the server, whether only authenticated senders are answered
// (and the receiving server's id that vouches for them), the replies per sender per hour, and
// the motion alerts (on or off, the response setting they go out with, the sensitivity, the
// minutes between two alerts and the seconds ignored while the camera settles). Accepted
// values go straight into the program-wide options; the options file gets them at exit.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

class frmDlgOption : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgOption(QWidget* parent = nullptr);

    // Loadset, then the dialog modally; the caller learns nothing about OK or Cancel.
    void DlgShow();
    // Fills the controls from "MailCheckInterval", "AcceptedLeftSubject", DeleteAfterReply, the
    // sender options and the motion options; the response settings' names are the choices of
    // the alert's setting.
    void Loadset();
    // Stores the input and answers true when the interval is a whole number of at least 1, the
    // trusted id is given and fit for a header when authentication is required, the reply
    // limit is a number from 0 to MaxRepliesPerSenderPerHourLimit, a response setting is
    // chosen when alerts are on, and each motion number lies in its range; otherwise shows why
    // (the focus on a refused number or choice) and stores nothing.
    bool CheckSetting();

  private:
    void cmdOK_Click();
    // The trusted id and its labels are enabled only while authentication is required.
    void chkRequireAuthenticatedSender_Click();
    // The alert's setting and its label are enabled only while alerts are on.
    void chkMotionAlert_Click();

    QLineEdit* txtMailCheckInterval;
    QLineEdit* txtAcceptedLeftSubject;
    QCheckBox* chkMailCheckToDelete;
    QCheckBox* chkRequireAuthenticatedSender;
    QLineEdit* txtTrustedAuthServId;
    QLineEdit* txtMaxRepliesPerSenderPerHour;
    QWidget* trustedIdLabels[2];
    QCheckBox* chkMotionAlert;
    QComboBox* cboMotionAlertSetting;
    QLineEdit* txtMotionSensitivity;
    QLineEdit* txtMotionAlertInterval;
    QLineEdit* txtMotionIgnoreSeconds;
    QWidget* motionSettingLabel;
};
