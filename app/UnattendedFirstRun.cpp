#include "app/UnattendedFirstRun.h"

#include "log/WriteLog.h"
#include "platform/ProgramFolder.h"
#include "settings/MailAccountFile.h"

#include <QDir>

UnattendedFirstRun::UnattendedFirstRun() {
    previousAccountDialog = SetNewMailAccountDialog([this]() -> std::optional<CMailAccount> {
        missing = true;
        WriteLog(
            QStringLiteral("メールアカウントの設定がないか壊れています: %1/%2")
                .arg(QDir::toNativeSeparators(OptionsFolder()), MailAccountFault(OptionsFolder())));
        return std::nullopt;
    });
    previousResponseSettingDialog =
        SetNewResponseSettingDialog([this]() -> std::optional<CResAccount> {
            missing = true;
            WriteLog(QStringLiteral("返信用イメージの設定ファイルがありません: %1/*.csp")
                         .arg(QDir::toNativeSeparators(OptionsFolder())));
            return std::nullopt;
        });
}

UnattendedFirstRun::~UnattendedFirstRun() {
    SetNewMailAccountDialog(std::move(previousAccountDialog));
    SetNewResponseSettingDialog(std::move(previousResponseSettingDialog));
}
