#include "dialogs/FirstRunRegistration.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/frmDlgMailAccount.h"
#include "dialogs/frmDlgResAccount.h"

#include "platform/MsgBox.h"
#include "platform/ui/FontSubstitution.h"
#include "settings/FirstRunDialogs.h"

namespace {

std::optional<CMailAccount> NewMailAccount() {
    frmDlgMailAccount dialog;
    if (!dialog.DlgNew())
        return std::nullopt;
    return dialog.EditedMailAccount();
}

// Cancelling the first setting ends the program and drops the account just typed: that is
// asked first, and No shows the editor again as it was.
std::optional<CResAccount> NewResponseSetting() {
    frmDlgResAccount editor;
    editor.LoadNew();
    for (;;) {
        ShowModalCentred(&editor);
        if (editor.DialogAccepted())
            return editor.EditedResponseSetting();
        if (MsgBox(MsgIcon::Question, AppTitle(), QStringLiteral("設定を保存せずに終了しますか？"),
                   MsgButtons::YesNo, MsgDefault::Second) == MsgAnswer::Yes)
            return std::nullopt;
    }
}

} // namespace

void RegisterFirstRunDialogs() {
    InstallFontSubstitutions();
    SetNewMailAccountDialog(NewMailAccount);
    SetNewResponseSettingDialog(NewResponseSetting);
}
