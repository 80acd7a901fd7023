#include "app/MotionAlert.h"

#include "log/WriteLog.h"
#include "mailcheck/modMailCheck.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/BmpFile.h"
#include "reply/modSendMail.h"
#include "settings/modFileAccess.h"

#include <variant>

namespace {

// Sends temp/new.eml to recipient; false when it may be tried again.
bool SendAlert(const CMailAccount& account, const QString& recipient) {
    WriteLog(QStringLiteral("通知メールを送信しています... (") + recipient + u')');
    switch (SendReplyFile(account, recipient)) {
    case SendOutcome::Sent:
        WriteLog(QStringLiteral("通知メールを送信しました"));
        return true;
    case SendOutcome::Unconfirmed:
        WriteLog(QStringLiteral("通知メールを送信しましたが、サーバーが受け取ったかどうか確認できま"
                                "せんでした"));
        return true;
    case SendOutcome::Refused:
        WriteLog(QStringLiteral("メールの送信に失敗しました"));
        WriteLog(QStringLiteral("サーバーが通知メールを拒否したため、再び送りません"));
        return true;
    case SendOutcome::NotSent:
    case SendOutcome::Abandoned:
        break;
    }
    WriteLog(QStringLiteral("メールの送信に失敗しました"));
    return false;
}

} // namespace

QStringList AlertRecipients(const CResAccount& setting) {
    QStringList recipients;
    if (const auto* list = std::get_if<QStringList>(&setting.vAcceptedMailAddrs))
        for (const QString& address : *list)
            if (!address.isEmpty())
                recipients << address;
    return recipients;
}

QStringList SendMotionAlert(const CMailAccount& account, const CResAccount& setting,
                            const QImage& picture, const QStringList& recipients) {
    CResAccount alert = setting;
    if (alert.SendMail_Subject.isEmpty())
        alert.SendMail_Subject = MotionDetectedText;
    MakeFolder(TempFolder());
    const QString still = TempFolder() + QStringLiteral("/motion.bmp");
    QStringList again;
    for (qsizetype i = 0; i < recipients.size(); ++i) {
        // Each composing ends with its still and stage files gone, before the send lets any
        // other work run.
        if (MailCheckCancelled() || !WriteBmp24File(picture, still) ||
            !ComposeReplyFile(still, account, alert, recipients[i], true)) {
            // What failed it fails it for every address.
            again << recipients.mid(i);
            break;
        }
        if (!SendAlert(account, recipients[i]))
            again << recipients[i];
    }
    return again;
}
