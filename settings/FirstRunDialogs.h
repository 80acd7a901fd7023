#pragma once
// The dialogs that LoadAllSettings opens on a first run. The dialogs register themselves at
// start-up, so that the settings code never includes them; tests register their own.
#include "settings/CResAccount.h"

#include <functional>

// Opens the mail account dialog for a new account; sets DialogAccepted and, when accepted,
// EditedMailAccount.
using NewMailAccountDialog = std::function<void()>;
// Opens the response setting editor for a new setting; sets DialogAccepted and, when
// accepted, fills retSetting.
using NewResponseSettingDialog = std::function<void(CResAccount& retSetting)>;

// Each answers the dialog it replaces; an empty one unregisters.
NewMailAccountDialog SetNewMailAccountDialog(NewMailAccountDialog dialog);
NewResponseSettingDialog SetNewResponseSettingDialog(NewResponseSettingDialog dialog);

// Open the registered dialog after clearing DialogAccepted (and EditedMailAccount). With none
// registered (a program without its dialogs) nothing opens and DialogAccepted stays false.
void ShowNewMailAccountDialog();
void ShowNewResponseSettingDialog(CResAccount& retSetting);

// Whether a dialog is registered: without one, nobody could have cancelled it.
bool HasNewResponseSettingDialog();
