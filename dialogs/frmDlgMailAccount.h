#pragma once
// The mail account dialog: the one account's name, address, POP3 login, servers, ports, APOP
// choice and network timeout. It never changes the account it was given: an accepted OK builds
// EditedMailAccount, and the caller decides what to do with it.
#include "settings/CMailAccount.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QLineEdit;

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

  private:
    void Command1_0_Click();

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
    bool accepted = false;
    std::optional<CMailAccount> edited;
};
