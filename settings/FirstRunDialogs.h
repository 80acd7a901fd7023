#pragma once
// The dialogs that LoadAllSettings opens on a first run. The dialogs register themselves at
// start-up, so that the settings code never includes them; tests register their own.
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <functional>
#include <optional>

// Opens the mail account dialog for a new account: the account when the user chose OK,
// nothing when the dialog was cancelled.
using NewMailAccountDialog = std::function<std::optional<CMailAccount>()>;
// Opens the response setting editor for a new setting: the setting when the user chose OK.
using NewResponseSettingDialog = std::function<std::optional<CResAccount>()>;

// Each answers the dialog it replaces; an empty one unregisters.
NewMailAccountDialog SetNewMailAccountDialog(NewMailAccountDialog dialog);
NewResponseSettingDialog SetNewResponseSettingDialog(NewResponseSettingDialog dialog);

// Open the registered dialog and answer its result. With none registered (a program without
// its dialogs) nothing opens and the answer is empty.
std::optional<CMailAccount> ShowNewMailAccountDialog();
std::optional<CResAccount> ShowNewResponseSettingDialog();

// Whether a dialog is registered: without one, nobody could have cancelled it.
bool HasNewResponseSettingDialog();
