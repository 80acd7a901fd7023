#include "settings/FirstRunDialogs.h"

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

std::optional<CMailAccount> ShowNewMailAccountDialog() {
    return AccountDialog() ? AccountDialog()() : std::nullopt;
}

std::optional<CResAccount> ShowNewResponseSettingDialog() {
    return ResponseSettingDialog() ? ResponseSettingDialog()() : std::nullopt;
}

bool HasNewResponseSettingDialog() {
    return static_cast<bool>(ResponseSettingDialog());
}
