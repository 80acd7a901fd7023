#pragma once
// What the tests of the mail account dialog share: a complete account on 127.0.0.1 and the
// dialog open on the screen, its boxes read by object name.
#include "dialogs/frmDlgMailAccount.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"

// The account カメラ, camera@example.jp, login camera:secret, both servers on 127.0.0.1 at
// their default ports.
inline CMailAccount LocalMailAccount() {
    CMailAccount account;
    account.Name = QStringLiteral("カメラ");
    account.MailAddr = QStringLiteral("camera@example.jp");
    account.UserName = QStringLiteral("camera");
    account.Password = QStringLiteral("secret");
    account.POPHost = QStringLiteral("127.0.0.1");
    account.SMTPHost = QStringLiteral("127.0.0.1");
    return account;
}

class MailAccountDialogFixture : public ::testing::Test {
  protected:
    // Fills the dialog from account and shows it with the keyboard focus.
    void Open(const CMailAccount& account) {
        dialog.Loadset(account);
        ASSERT_TRUE(ShowActive(&dialog));
    }
    QString Text(const char* name) { return Control<QLineEdit>(&dialog, name)->text(); }

    MsgBoxRecorder boxes;
    frmDlgMailAccount dialog;
};
