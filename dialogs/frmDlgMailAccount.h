#pragma once
// The mail account dialog: the one account's name, address, login, incoming protocol (POP3 or
// IMAP with its folder), servers, ports, APOP choice and network timeout, the security of both
// servers with their pinned certificates, the SMTP authentication, and a connection test that
// reports step by step and can be stopped. It never changes the account it was given: an accepted
// OK builds EditedMailAccount, and the caller decides what to do with it.
#include "mailcheck/ConnectionTest.h"
#include "settings/CMailAccount.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
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
    // While the test runs the button reads "中止" and stops it, as Esc does; the controls stay
    // editable, and OK, Cancel and the close box stop the test first and act when it has ended.
    void cmdConnectionTest_Click();

    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Command1_0_Click();
    // The account as the controls hold it, numbers that do not read counting as 0.
    CMailAccount ReadControls() const;
    // New choices set their usual port when the port still holds usualShown, the usual port
    // of the choices before.
    void MoveToUsualPort(QLineEdit* port, int& usualShown, int usual);
    // The usual port of the incoming protocol and security chosen.
    int UsualIncomingPort() const;
    // APOP for POP3 only, the folder for IMAP only, the security's names and the usual port.
    void cboMailProtocol_Click();
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
    QComboBox* cboMailProtocol;
    QLineEdit* txtIMAPFolder;
    QComboBox* cboPOPSecurity;
    QLineEdit* txtPOPCertificate;
    QComboBox* cboSMTPSecurity;
    QLineEdit* txtSMTPCertificate;
    QComboBox* cboSMTPAuth;
    QLineEdit* txtSMTPUserName;
    QLineEdit* txtSMTPPassword;
    QCheckBox* chkSMTPAuthWithoutTLS;
    QPushButton* cmdConnectionTest;
    QProgressBar* prgConnectionTest;
    QPushButton* cmdPinPOP;
    QPushButton* cmdPinSMTP;
    QPlainTextEdit* txtTestReport;
    int popUsualShown = 0; // the usual ports of the choices the ports were last set for
    int smtpUsualShown = 0;
    QString popSeen; // fingerprints the last connection test saw
    QString smtpSeen;
    bool accepted = false;
    std::optional<CMailAccount> edited;
    ConnectionTest test;
    enum class AfterTest { Stay, Accept, Reject };
    AfterTest afterTest = AfterTest::Stay; // what OK or a close asked for while the test ran
};
