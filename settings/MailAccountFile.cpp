#include "settings/MailAccountFile.h"

#include "settings/ParamReader.h"
#include "settings/PasswordCipher.h"
#include "settings/SettingKeys.h"
#include "settings/modFileAccess.h"

#include "app/log/WriteLog.h"

#include <QDir>

namespace {

const QString FileName = QStringLiteral("main.mla");

QString Quoted(const QString& path) {
    return u'"' + path + u'"';
}

} // namespace

bool ParamsToMailAccount(const CParams& params, CMailAccount& retAccount,
                         bool& retPasswordUnreadable) {
    CMailAccount account;
    ParamReader reader(params);
    retPasswordUnreadable = false;
    reader.Text(QStringLiteral("Name"), account.Name);
    reader.Text(QStringLiteral("MailAddr"), account.MailAddr);
    reader.Text(QStringLiteral("UserName"), account.UserName);
    if (const CParamItem* item = reader.Take(QStringLiteral("Password")))
        retPasswordUnreadable = !DecryptPassword(item->Text(), account.Password);
    reader.Text(QStringLiteral("POPHost"), account.POPHost);
    reader.Number(QStringLiteral("POPPort"), account.POPPort);
    reader.Text(QStringLiteral("SMTPHost"), account.SMTPHost);
    reader.Number(QStringLiteral("SMTPPort"), account.SMTPPort);
    reader.Number(QStringLiteral("APOP"), account.APOP);
    CheckKeyCount(reader.KeysAsked(), MailAccountKeys());
    retAccount = account;
    return reader.Complete();
}

CParams MailAccountToParams(const CMailAccount& account) {
    CParams params;
    params.Add(QStringLiteral("Name"), account.Name);
    params.Add(QStringLiteral("MailAddr"), account.MailAddr);
    params.Add(QStringLiteral("UserName"), account.UserName);
    params.Add(QStringLiteral("Password"), EncryptPassword(account.Password));
    params.Add(QStringLiteral("POPHost"), account.POPHost);
    params.Add(QStringLiteral("POPPort"), ParamNumberText(account.POPPort));
    params.Add(QStringLiteral("SMTPHost"), account.SMTPHost);
    params.Add(QStringLiteral("SMTPPort"), ParamNumberText(account.SMTPPort));
    params.Add(QStringLiteral("APOP"), ParamNumberText(account.APOP));
    CheckKeyCount(params.Count(), MailAccountKeys());
    return params;
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

void SaveMailAccountFile(const QString& folder, const CMailAccount& account) {
    SaveTextFile(QDir(folder).filePath(FileName),
                 ParamsToText(QStringLiteral("Mail Account"), MailAccountToParams(account),
                              MailAccountKeys()));
}
