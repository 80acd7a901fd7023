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
                         bool& retPasswordUnreadable, QString& retFaultKey) {
    return ParamsToRecord(params, MailAccountFields(), MailAccountKeys(), retAccount,
                          retPasswordUnreadable, retFaultKey);
}

QString MailAccountFault(const QString& folder) {
    QString text;
    bool isDamaged = false;
    if (!LoadSettingsFile(QDir(folder).filePath(FileName), text, isDamaged))
        return FileName;
    CMailAccount account;
    bool passwordUnreadable = false;
    QString faultKey;
    if (!ParamsToMailAccount(TextToParams(text), account, passwordUnreadable, faultKey))
        return FileName + QStringLiteral(": ") + faultKey;
    return account.Name.isEmpty() ? FileName + QStringLiteral(": Name") : QString();
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
    QString faultKey;
    if (!ParamsToMailAccount(TextToParams(text), retAccount, passwordUnreadable, faultKey)) {
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
