#pragma once
// The option dialog: the mail check interval, the subject prefix of a request and whether
// answered mails are deleted from the server. Accepted values go straight into the
// program-wide options; the options file gets them at exit.
#include <QDialog>

class QCheckBox;
class QLineEdit;

class frmDlgOption : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgOption(QWidget* parent = nullptr);

    // Loadset, then the dialog modally; the caller learns nothing about OK or Cancel.
    void DlgShow();
    // Fills the controls from "MailCheckInterval", "AcceptedLeftSubject" and DeleteAfterReply.
    void Loadset();
    // Stores the input and answers true when the interval is a whole number of at least 1;
    // otherwise shows why and stores nothing.
    bool CheckSetting();

  private:
    void cmdOK_Click();

    QLineEdit* txtMailCheckInterval;
    QLineEdit* txtAcceptedLeftSubject;
    QCheckBox* chkMailCheckToDelete;
};
