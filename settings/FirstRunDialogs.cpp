#include "settings/FirstRunDialogs.h"

#include "settings/ProgramObjects.h"

#include <utility>

namespace {

NewMailAccountDialog& AccountDialog() {
    static NewMailAccountDialog dialog;
    return dialog;
}

NewResponseSettingDialog& ResponseSettingDialog() {
    static NewResponseSettingDialog dialog;
    return dialog;
}

} // namespace

NewMailAccountDialog SetNewMailAccountDialog(NewMailAccountDialog dialog) {
    return std::exchange(AccountDialog(), std::move(dialog));
}

NewResponseSettingDialog SetNewResponseSettingDialog(NewResponseSettingDialog dialog) {
    return std::exchange(ResponseSettingDialog(), std::move(dialog));
}

void ShowNewMailAccountDialog() {
    DialogAccepted = false;
    EditedMailAccount.reset();
    if (AccountDialog())
        AccountDialog()();
}

void ShowNewResponseSettingDialog(CResAccount& retSetting) {
    DialogAccepted = false;
    if (ResponseSettingDialog())
        ResponseSettingDialog()(retSetting);
}

bool HasNewResponseSettingDialog() {
    return static_cast<bool>(ResponseSettingDialog());
}
