#include "mailcheck/MailCheckSteps.h"

#include "log/WriteLog.h"
#include "mailcheck/ReplyRateLimit.h"
#include "mailcheck/RequestHeader.h"
#include "mailcheck/SenderAuthentication.h"
#include "mailcheck/modMailCheck.h"
#include "reply/modSendMail.h"
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"

namespace {

// The replies of this run, for the limit per sender, whichever protocol brought the request.
ReplyRateLimit& SentReplies() {
    static ReplyRateLimit replies;
    return replies;
}

QString DecodedSubject(const QString& value) {
    const QString decoded = DecodeSubject(value);
    return decoded.isEmpty() ? value : decoded;
}

} // namespace

Outcome AnswerRequest(const CMailAccount& account, const QString& header,
                      const std::function<bool()>& beforeMessageData) {
    if (IsOversizedHeader(header)) {
        WriteLog(QStringLiteral("メールのヘッダが大きすぎるため読みませんでした"));
        return Outcome::Concluded;
    }
    const QString unfolded = UnfoldHeader(header);
    QString from, subject;
    for (const HeaderField& field : RequestFields(unfolded)) {
        WriteLog(field.Name + QStringLiteral(": ") + field.Value);
        if (field.Name == QStringLiteral("From"))
            from = ExtractAddress(field.Value);
        else if (field.Name == QStringLiteral("Subject"))
            subject = DecodedSubject(field.Value);
    }
    if (subject.isEmpty() || from.isEmpty())
        return Outcome::Concluded;
    int index = 0;
    if (!FindResponseSetting(from, index, 0)) {
        WriteLog(QStringLiteral("許可されていないメールアドレスでした"));
        return Outcome::Concluded;
    }
    WriteLog(QStringLiteral("許可されているメールアドレスです"));
    const CResAccount setting = ResponseSettings[static_cast<size_t>(index - 1)];
    if (!AcceptedLeftSubject.isEmpty() && !HasSubjectPrefix(subject, AcceptedLeftSubject)) {
        WriteLog(QStringLiteral("件名の先頭に ") + AcceptedLeftSubject +
                 QStringLiteral(" がないため許可されませんでした"));
        return Outcome::Concluded;
    }
    // Anyone can write a From line: with the option on, only the receiving server's own
    // authentication results vouch for it.
    QString reason;
    if (RequireAuthenticatedSender &&
        !IsAuthenticatedSender(unfolded, from, TrustedAuthServId, reason)) {
        WriteLog(QStringLiteral("差出人を認証できないため返信しませんでした: ") + reason);
        return Outcome::Concluded;
    }
    if (!SentReplies().MayReply(from, MaxRepliesPerSenderPerHour)) {
        WriteLog(QStringLiteral("返信の上限 (1時間に%1通) を超えたため返信しませんでした")
                     .arg(MaxRepliesPerSenderPerHour));
        return Outcome::Concluded;
    }
    switch (ReplyToMessage(account, setting, subject, from, beforeMessageData)) {
    case SendOutcome::Sent:
    case SendOutcome::Unconfirmed:
        SentReplies().RecordReply(from);
        return Outcome::Answered;
    case SendOutcome::Refused:
        return Outcome::Concluded;
    case SendOutcome::Abandoned:
        return Outcome::Stop;
    case SendOutcome::NotSent:
        break;
    }
    return Outcome::Retry;
}

bool StoreReceived(ReceivedUidls& received) {
    ReceivedUidlList = received.List();
    received.Written();
    if (SaveReceivedUidlList())
        return true;
    WriteLog(QStringLiteral("受信済みメールの一覧を保存できませんでした"));
    return false;
}
