#include "settings/MailAccountFile.h"

#include "settings/RecordFields.h"
#include "settings/SettingKeys.h"
#include "settings/modFileAccess.h"

#include "log/WriteLog.h"

#include <QDir>

namespace {

const QString FileName = QStringLiteral("main.mla");

QString Quoted(const QString& path) {
    return u'"' + path + u'"';
}

} // namespace

bool ParamsToMailAccount(const CParams& params, CMailAccount& retAccount,
                         bool& retPasswordUnreadable) {
    return ParamsToRecord(params, MailAccountFields(), MailAccountKeys(), retAccount,
                          retPasswordUnreadable);
}

CParams MailAccountToParams(const CMailAccount& account) {
    return RecordToParams(account, MailAccountFields(), MailAccountKeys());
}

void LoadMailAccountFile(const QString& folder, CMailAccount& retAccount, bool& retIsError,
                         bool& retIsLoaded) {
    retIsError = false;
    retIsLoaded = false;
    const QString path = QDir(folder).filePath(FileName);
    QString text;
    bool isDamaged = false;
    if (!LoadSettingsFile(path, text, isDamaged)) {
        if (isDamaged) {
            WriteLog(QStringLiteral("アカウントファイルのデータが欠けています ") + Quoted(path));
            retIsError = true;
        }
        return;
    }
    bool passwordUnreadable = false;
    if (!ParamsToMailAccount(TextToParams(text), retAccount, passwordUnreadable)) {
        WriteLog(QStringLiteral("アカウントファイルのデータが欠けています ") + Quoted(path));
        retIsError = true;
    }
    if (retAccount.Name.isEmpty()) {
        WriteLog(QStringLiteral("アカウント名が不正です ") + Quoted(path));
        retIsError = true;
    }
    if (passwordUnreadable)
        WriteLog(QStringLiteral("アカウントファイルのパスワードを読み取れませんでした ") +
                 Quoted(path));
    retIsLoaded = !retIsError;
}

bool SaveMailAccountFile(const QString& folder, const CMailAccount& account) {
    return SaveTextFile(QDir(folder).filePath(FileName),
                        ParamsToText(QStringLiteral("Mail Account"), MailAccountToParams(account),
                                     MailAccountKeys() + OptionalMailAccountKeys()));
}
