#pragma once
// The mail account dialog: the one account's name, address, POP3 login, servers, ports, APOP
// choice and network timeout, the security of both servers with their pinned certificates,
// the SMTP authentication, and a connection test that reports step by step. It never changes the
// account it was given: an accepted OK builds EditedMailAccount, and the caller decides what to do
// with it.
#include "settings/CMailAccount.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmDlgMailAccount : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgMailAccount(QWidget* parent = nullptr);

    // Loadset with a new account's defaults, then the dialog modally; answers DialogAccepted.
    bool DlgNew();
    // Loadset with clsAccount, then the dialog modally; answers DialogAccepted.
    bool DlgLoad(const CMailAccount& clsAccount);
    // Fills the controls from clsAccount and forgets any earlier result.
    void Loadset(const CMailAccount& clsAccount);
    // Answers true and builds EditedMailAccount when the input is valid; otherwise shows the
    // first fault and answers false.
    bool CheckDlg();

    // True only after OK closed the dialog with valid input.
    bool DialogAccepted() const { return accepted; }
    // The account built by the last successful CheckDlg; nothing before one.
    const std::optional<CMailAccount>& EditedMailAccount() const { return edited; }

    // Tries both servers with the values now in the dialog, showing each step in
    // txtTestReport; afterwards a certificate seen can be pinned with cmdPinPOP or cmdPinSMTP.
    void cmdConnectionTest_Click();

  private:
    void Command1_0_Click();
    // The account as the controls hold it, numbers that do not read counting as 0.
    CMailAccount ReadControls() const;
    // A new security choice sets its usual port when the port still holds the old choice's.
    void SecurityChanged(QComboBox* choice, QLineEdit* port, const int usualPorts[3]);
    // The SMTP user name and password are for their own choice only.
    void cboSMTPAuth_Click();

    QLineEdit* txtName;
    QLineEdit* txtMailAddr;
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QLineEdit* txtPOP;
    QLineEdit* txtPOPPort;
    QCheckBox* chkAPOP;
    QLineEdit* txtSMTP;
    QLineEdit* txtSMTPPort;
    QLineEdit* txtTimeout;
    QComboBox* cboPOPSecurity;
    QLineEdit* txtPOPCertificate;
    QComboBox* cboSMTPSecurity;
    QLineEdit* txtSMTPCertificate;
    QComboBox* cboSMTPAuth;
    QLineEdit* txtSMTPUserName;
    QLineEdit* txtSMTPPassword;
    QCheckBox* chkSMTPAuthWithoutTLS;
    QPushButton* cmdConnectionTest;
    QPushButton* cmdPinPOP;
    QPushButton* cmdPinSMTP;
    QPlainTextEdit* txtTestReport;
    int popSecurityShown = 0; // the choices the ports were last set for
    int smtpSecurityShown = 0;
    QString popSeen; // fingerprints the last connection test saw
    QString smtpSeen;
    bool accepted = false;
    std::optional<CMailAccount> edited;
};
