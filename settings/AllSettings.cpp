#include "settings/AllSettings.h"

#include "settings/FirstRunDialogs.h"
#include "settings/MailAccountFile.h"
#include "settings/OptionFile.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"
#include "settings/ResponseSettingFiles.h"
#include "settings/RuleFile.h"
#include "settings/SettingKeys.h"

#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <algorithm>
#include <iterator>
#include <utility>

namespace {

QString RuleFilePath(const QString& folder) {
    return folder + QStringLiteral("/main.rul");
}

void LoadMailAccount(const QString& folder) {
    CMailAccount account;
    bool isError = false, isLoaded = false;
    LoadMailAccountFile(folder, account, isError, isLoaded);
    if (isLoaded) {
        CurrentMailAccount = account;
        return;
    }
    // Tell the user why the dialog opens when the file exists but is damaged.
    if (isError)
        MsgBox(MsgIcon::Critical, AppTitle(),
               QStringLiteral("メールアカウントファイル(*.mla)にエラーがありました"));
    EditedMailAccount = ShowNewMailAccountDialog();
    DialogAccepted = EditedMailAccount.has_value();
    // A cancelled dialog leaves a default account, saved nameless so that the next start
    // asks again.
    CurrentMailAccount = EditedMailAccount.value_or(CMailAccount());
}

// False when the user cancelled the first response setting.
bool LoadResponseSettings(const QString& folder) {
    int count = 0;
    bool isError = false;
    LoadResponseSettingFiles(folder, count, isError);
    // Also before the editor, so that the user learns why it opens and that the damaged files
    // are replaced at exit.
    if (isError)
        MsgBox(MsgIcon::Critical, AppTitle(),
               QStringLiteral("返信用イメージの設定ファイル(*.csp)にエラーがありました"));
    if (count > 0 || !HasNewResponseSettingDialog())
        return true;
    const std::optional<CResAccount> setting = ShowNewResponseSettingDialog();
    DialogAccepted = setting.has_value();
    if (!setting)
        return false;
    AddResponseSetting(*setting);
    return true;
}

} // namespace

bool LoadAllSettings() {
    InitSettingKeys();
    const QString folder = OptionsFolder();
    LoadRuleFile(RuleFilePath(folder), ReceivedUidlList);
    LoadMailAccount(folder);
    if (!LoadResponseSettings(folder))
        return false;
    LoadOptionFile(folder);
    return true;
}

bool ReloadAllSettings() {
    const QString folder = OptionsFolder();
    CMailAccount account;
    bool isError = false, isLoaded = false;
    LoadMailAccountFile(folder, account, isError, isLoaded);
    if (!isLoaded)
        return false;
    std::vector<CResAccount> previous = std::exchange(ResponseSettings, {});
    int count = 0;
    LoadResponseSettingFiles(folder, count, isError);
    if (count == 0 || isError) {
        ResponseSettings = std::move(previous);
        return false;
    }
    CurrentMailAccount = account;
    LoadOptionFile(folder);
    return true;
}

bool SaveAllSettings() {
    const QString folder = OptionsFolder();
    const bool saved[] = {SaveReceivedUidlList(), SaveMailAccountFile(folder, CurrentMailAccount),
                          SaveResponseSettingFiles(folder, ResponseSettings),
                          SaveOptionFile(folder)};
    return std::all_of(std::begin(saved), std::end(saved), [](bool each) { return each; });
}

bool SaveReceivedUidlList() {
    return SaveRuleFile(RuleFilePath(OptionsFolder()), ReceivedUidlList);
}
