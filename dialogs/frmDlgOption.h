#pragma once
// The option dialog: the mail check interval, the subject prefix of a request, whether
// answered mails are deleted from the server, whether only authenticated senders are answered
// (and the receiving server's id that vouches for them) and the replies per sender per hour.
// Accepted values go straight into the program-wide options; the options file gets them at
// exit.
#include <QDialog>

class QCheckBox;
class QLineEdit;

class frmDlgOption : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgOption(QWidget* parent = nullptr);

    // Loadset, then the dialog modally; the caller learns nothing about OK or Cancel.
    void DlgShow();
    // Fills the controls from "MailCheckInterval", "AcceptedLeftSubject", DeleteAfterReply and
    // the sender options.
    void Loadset();
    // Stores the input and answers true when the interval is a whole number of at least 1, the
    // trusted id is given and fit for a header when authentication is required, and the reply
    // limit is a number from 0 to MaxRepliesPerSenderPerHourLimit; otherwise shows why and
    // stores nothing.
    bool CheckSetting();

  private:
    void cmdOK_Click();
    // The trusted id and its labels are enabled only while authentication is required.
    void chkRequireAuthenticatedSender_Click();

    QLineEdit* txtMailCheckInterval;
    QLineEdit* txtAcceptedLeftSubject;
    QCheckBox* chkMailCheckToDelete;
    QCheckBox* chkRequireAuthenticatedSender;
    QLineEdit* txtTrustedAuthServId;
    QLineEdit* txtMaxRepliesPerSenderPerHour;
    QWidget* trustedIdLabels[2];
};
