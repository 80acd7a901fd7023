#include "reply/modSendMail.h"

#include "log/WriteLog.h"
#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "reply/CSMTP.h"
#include "reply/SMTPData.h"
#include "settings/modFileAccess.h"
#include "textenc/EncodedWords.h"
#include "textenc/modConvBase64.h"
#include "textenc/modConvXJIS.h"

#include <algorithm>

namespace {

// The prefix, a base64 text without "?" and the closing "?=", nothing else.
bool IsOneJisBase64Word(const QString& sValue) {
    const QByteArray bytes = ToCodePage932(sValue);
    const qsizetype textStart = sizeof(JisBase64WordPrefix) - 1;
    return StartsWithJisBase64Prefix(bytes) && bytes.size() >= textStart + 2 &&
           bytes.indexOf('?', textStart) == bytes.size() - 2 && bytes.endsWith('=');
}

StagePaths& LastPaths() {
    static StagePaths paths;
    return paths;
}

// A safe address, or spaces only: the image info window's placeholder. A refused address is
// named after refusedText in retFailureText.
bool IsHeaderAddress(const QString& address, const QString& refusedText, QString& retFailureText) {
    if (IsSafeMailAddress(address) ||
        std::all_of(address.begin(), address.end(), [](QChar c) { return c == u' '; }))
        return true;
    retFailureText = refusedText + u'"' + LogLineText(address) + u'"';
    return false;
}

bool WriteReply(const QString& replyPath, const CResAccount& setting, const QString& fromAddress,
                const QString& toAddress, const StagePaths& paths) {
    QString text;
    return MakeReplyText(setting, fromAddress, toAddress,
                         WrapLines(ReadFileAsText(paths.Encoded), 76), text) &&
           WriteTextFile(replyPath, text);
}

} // namespace

QString DecodeSubject(const QString& sValue) {
    InitBase64();
    if (!IsOneJisBase64Word(sValue))
        return DecodeEncodedWords(sValue);
    const QByteArray jis = DecodeBase64Text(sValue, true);
    return FromCodePage932(ConvertCode(jis, CodeJis, CodeSjis));
}

bool ComposeReply(const QString& sourcePath, const QString& replyPath, const CResAccount& setting,
                  const QString& fromAddress, const QString& toAddress, bool deleteTemporaries,
                  QString& retFailureText) {
    retFailureText.clear();
    MakeFolder(TempFolder());
    StagePaths paths = MakeStagePaths(sourcePath, TempFolder());
    const bool written = IsHeaderAddress(fromAddress, SenderAddressRefusedText, retFailureText) &&
                         IsHeaderAddress(toAddress, RecipientAddressRefusedText, retFailureText) &&
                         RunImageSteps(setting, paths, retFailureText) &&
                         WriteReply(replyPath, setting, fromAddress, toAddress, paths);
    LastPaths() = paths;
    if (deleteTemporaries)
        DeleteStageFiles(paths);
    return written;
}

const StagePaths& LastStagePaths() {
    return LastPaths();
}

void PrepareSMTP(CSMTP& smtp, const CMailAccount& account) {
    smtp.Security(account.SMTPSecurity, account.SMTPCertificate);
    switch (account.SMTPAuth) {
    case AuthAccountLogin:
        smtp.AuthLogin(account.UserName, account.Password, account.SMTPAuthWithoutTLS != 0);
        break;
    case AuthSmtpLogin:
        smtp.AuthLogin(account.SMTPUserName, account.SMTPPassword, account.SMTPAuthWithoutTLS != 0);
        break;
    default:
        smtp.AuthLogin(QString(), QString(), false);
    }
}

SendOutcome SendReplyFile(const CMailAccount& account, const QString& recipient,
                          const std::function<bool()>& beforeMessageData) {
    QString header, body;
    if (!IsSafeMailAddress(recipient) || !IsSafeMailAddress(account.MailAddr) ||
        !SplitMailFile(ReadFileAsText(TempFolder() + QStringLiteral("/new.eml")), header, body))
        return SendOutcome::NotSent;
    CSMTP& smtp = SMTPClient();
    smtp.SetTimeout(static_cast<float>(account.Timeout));
    PrepareSMTP(smtp, account);
    if (!smtp.Connect(account.SMTPHost, account.SMTPPort)) {
        if (!smtp.LastFailure().isEmpty())
            WriteLog(smtp.LastFailure());
        return SendOutcome::NotSent;
    }
    const bool sent = smtp.Sendmail(account.MailAddr, recipient, header, body, beforeMessageData);
    // The reason goes to the log before the caller's line on the outcome.
    if (!sent && !smtp.LastFailure().isEmpty())
        WriteLog(smtp.LastFailure());
    if (sent)
        smtp.Quit();
    return smtp.LastOutcome();
}
