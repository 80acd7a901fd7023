#include "dialogs/FirstRunRegistration.h"

#include "dialogs/frmDlgMailAccount.h"
#include "dialogs/frmDlgResAccount.h"

#include "platform/ui/FontSubstitution.h"
#include "settings/FirstRunDialogs.h"

namespace {

std::optional<CMailAccount> NewMailAccount() {
    frmDlgMailAccount dialog;
    if (!dialog.DlgNew())
        return std::nullopt;
    return dialog.EditedMailAccount();
}

std::optional<CResAccount> NewResponseSetting() {
    frmDlgResAccount editor;
    if (!editor.DlgNew())
        return std::nullopt;
    return editor.EditedResponseSetting();
}

} // namespace

void RegisterFirstRunDialogs() {
    InstallFontSubstitutions();
    SetNewMailAccountDialog(NewMailAccount);
    SetNewResponseSettingDialog(NewResponseSetting);
}
