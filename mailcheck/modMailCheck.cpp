#include "mailcheck/modMailCheck.h"

#include "log/WriteLog.h"
#include "mailcheck/CCryptMD5.h"
#include "mailcheck/CIMAP.h"
#include "mailcheck/CPOP3.h"
#include "mailcheck/IMAPMailCheck.h"
#include "mailcheck/MailCheckSteps.h"
#include "mailcheck/ReceivedUidls.h"
#include "platform/ProgramFolder.h"
#include "reply/CSMTP.h"
#include "reply/modSendMail.h"
#include "settings/ProgramObjects.h"
#include "settings/modFileAccess.h"

#include <QFile>
#include <QSet>
#include <utility>

namespace {

bool checkCancelled = false;

const QString ConnectionLost = QStringLiteral("サーバーとの接続が切れました");

StillCapture& InstalledCapture() {
    static StillCapture capture;
    return capture;
}

// The line for a command whose reply did not do because the session is broken: the
// connection gone, or a reply late or unreadable, after which every later reply could be an
// earlier command's. Empty while the session is sound (a refusal, which the caller logs).
QString BrokenSession(const CPOP3& pop, const QString& sCommand) {
    if (!pop.IsConnected())
        return ConnectionLost;
    if (!pop.InStep())
        return QStringLiteral("POP3サーバーの応答が時間内に届かないか読み取れないため、メール"
                              "チェックを終えます (") +
               sCommand + u')';
    return QString();
}

// Reads message n's header and answers it when it is a request of an accepted sender,
// through account; beforeMessageData as ReplyToMessage.
Outcome HandleMessage(CPOP3& pop, const CMailAccount& account, int n,
                      const std::function<bool()>& beforeMessageData) {
    QString header;
    if (!pop.CMD_TOP(n, 0, header)) {
        if (checkCancelled)
            return Outcome::Retry;
        if (const QString broken = BrokenSession(pop, QStringLiteral("TOP")); !broken.isEmpty()) {
            WriteLog(broken);
            return Outcome::Stop;
        }
        WriteLog(QStringLiteral("メールのヘッダを取得できませんでした"));
        return Outcome::Retry;
    }
    return AnswerRequest(account, header, beforeMessageData);
}

// Requests answered and marked with DELE in a check whose QUIT the server did not confirm: the
// server keeps them, so a later check marks them again. Only this run remembers them.
QSet<QString>& UncommittedDeletes() {
    static QSet<QString> uids;
    return uids;
}

// Marks message n for deletion at QUIT and adds uid to retMarked; false when the session is
// broken. A DELE whose reply did not come is marked too: only a later QUIT could tell
// whether it holds, so a later check marks the message again.
bool DeleteMessage(CPOP3& pop, int n, const QString& uid, QStringList& retMarked) {
    if (pop.CMD_DELE(n)) {
        WriteLog(QStringLiteral("メールを削除しました"));
        retMarked << uid;
        return true;
    }
    if (const QString broken = BrokenSession(pop, QStringLiteral("DELE")); !broken.isEmpty()) {
        if (!checkCancelled)
            WriteLog(broken);
        retMarked << uid;
        return false;
    }
    WriteLog(QStringLiteral("メールを削除できませんでした"));
    return true;
}

// Walks the server's list in message-number order, answering each new request through
// account. Identifiers that the list no longer holds are dropped when it is whole: the
// server's reply read to its end, one identifier for each of the count messages.
// retMarked: the messages marked for deletion.
void WalkMailbox(CPOP3& pop, const CMailAccount& account, const QStringList& list, bool whole,
                 QStringList& retMarked) {
    ReceivedUidls received(ReceivedUidlList);
    if (whole) {
        received.KeepOnly(list);
        const QSet<QString> listed(list.begin(), list.end());
        UncommittedDeletes().intersect(listed);
    }
    // A request is deleted only when its reply was sent, and never without a prefix.
    const bool deleting = DeleteAfterReply && !AcceptedLeftSubject.isEmpty();
    for (int n = 1; n < list.size() && !checkCancelled; ++n) {
        const QString& uid = list[n];
        if (uid.isEmpty())
            continue;
        if (!received.IsNewUidl(uid)) {
            if (deleting && UncommittedDeletes().contains(uid) &&
                !DeleteMessage(pop, n, uid, retMarked))
                break;
            continue;
        }
        // On the rule file before the server can hold the reply: a crash from then on never
        // answers the request twice. A record that cannot be kept stops the send.
        bool recorded = false;
        const Outcome outcome = HandleMessage(pop, account, n, [&received, &uid, &recorded] {
            received.Conclude(uid);
            recorded = true;
            return StoreReceived(received);
        });
        // A reply that did not go out whole is tried again: without its reply the message is
        // not accepted (RFC 5321 section 6.1). A shutdown that cut the wait short keeps it,
        // as a crash would.
        if (recorded && (outcome == Outcome::Retry || outcome == Outcome::Stop) &&
            !checkCancelled) {
            received.Forget(uid);
            StoreReceived(received);
        }
        if (outcome == Outcome::Stop)
            break;
        if (outcome == Outcome::Retry)
            continue;
        received.Conclude(uid);
        if (outcome != Outcome::Answered)
            continue;
        if (deleting && !checkCancelled && !DeleteMessage(pop, n, uid, retMarked))
            break;
    }
    if (received.Changed())
        StoreReceived(received);
}

// The end of a check that connected: QUIT, which makes the server delete the marked
// messages; a cancelled check or a broken session takes no further step, so the server keeps
// every message.
void EndSession(CPOP3& pop, const QStringList& marked) {
    const bool sound = !checkCancelled && pop.IsConnected() && pop.InStep();
    const bool updated = sound && pop.Quit();
    if (!sound)
        pop.SockClose();
    for (const QString& uid : marked) {
        if (updated)
            UncommittedDeletes().remove(uid);
        else
            UncommittedDeletes().insert(uid);
    }
    if (!updated && !marked.isEmpty() && !checkCancelled)
        WriteLog(QStringLiteral(
            "サーバーがメールの削除を確定しませんでした。次のメールチェックで削除します"));
}

bool LogIn(CPOP3& pop, const CMailAccount& account, const QString& challenge) {
    bool loggedIn;
    if (account.APOP) {
        CCryptMD5 md5;
        loggedIn =
            pop.Login2(account.UserName, md5.DigestStrToHexStr(challenge + account.Password));
        WriteLog(QStringLiteral("APOPでログインします..."));
    } else {
        loggedIn = pop.Login(account.UserName, account.Password);
        WriteLog(QStringLiteral("ログインします..."));
    }
    return loggedIn;
}

// STAT, UIDL and the walk of a logged-in check; retMarked as WalkMailbox.
void CheckMailbox(CPOP3& pop, const CMailAccount& account, QStringList& retMarked) {
    int count = 0, bytes = 0;
    QStringList list;
    if (!pop.CMD_STAT(count, bytes)) {
        if (checkCancelled)
            return;
        const QString broken = BrokenSession(pop, QStringLiteral("STAT"));
        WriteLog(broken.isEmpty() ? QStringLiteral("メールの数を取得できませんでした") : broken);
    } else if (count <= 0) {
        WriteLog(QStringLiteral("メールはありませんでした"));
        // A mailbox that is known to be empty holds none of the received messages.
        if (count == 0)
            WalkMailbox(pop, account, list, true, retMarked);
    } else if (pop.CMD_UIDL(list, 0)) {
        const qsizetype listed = list.size() - list.count(QString());
        WalkMailbox(pop, account, list, pop.ListWasWhole() && listed == count, retMarked);
    } else if (!checkCancelled) {
        const QString broken = BrokenSession(pop, QStringLiteral("UIDL"));
        WriteLog(broken.isEmpty() ? QStringLiteral("メールの一覧を取得できませんでした") : broken);
    }
}

} // namespace

void RunMailCheck(const CMailAccount& accountNow) {
    const CMailAccount account = accountNow;
    checkCancelled = false;
    WriteLog(QString());
    WriteLog(QStringLiteral("メールチェックします (") + account.Name + u')');
    if (account.MailProtocol == ProtocolIMAP) {
        RunIMAPMailCheck(account);
        return;
    }
    CPOP3& pop = POP3Client();
    pop.TimeoutSecond(static_cast<float>(account.Timeout));
    pop.Security(account.POPSecurity, account.POPCertificate);
    WriteLog(QStringLiteral("接続しています..."));
    QString challenge;
    const bool connected = pop.Connect(account.POPHost, account.POPPort, challenge);
    if (!connected || checkCancelled) {
        if (!checkCancelled)
            WriteLog(QStringLiteral("接続できませんでした。インターネットに接続できる状態ではない"
                                    "か、ホスト名が正しくありません。"));
        pop.SockClose();
        return;
    }
    WriteLog(QStringLiteral("接続しました"));
    const bool loggedIn = LogIn(pop, account, challenge);
    QStringList marked;
    if (checkCancelled) {
    } else if (!loggedIn) {
        WriteLog(QStringLiteral("ログインできませんでした"));
        if (const QString broken = BrokenSession(pop, QStringLiteral("ログイン"));
            !broken.isEmpty())
            WriteLog(broken);
    } else {
        WriteLog(QStringLiteral("ログインしました"));
        CheckMailbox(pop, account, marked);
    }
    EndSession(pop, marked);
}

void CancelMailCheck() {
    checkCancelled = true;
    POP3Client().Cancel();
    IMAPClient().Cancel();
    SMTPClient().Cancel();
}

bool MailCheckCancelled() {
    return checkCancelled;
}

SendOutcome ReplyToMessage(const CMailAccount& account, const CResAccount& setting, const QString&,
                           const QString& requester,
                           const std::function<bool()>& beforeMessageData) {
    WriteLog(QStringLiteral("キャプチャしています"));
    MakeFolder(TempFolder());
    const QString still = TempFolder() + QStringLiteral("/capture.bmp");
    // No old still may stand in for the one that is not taken.
    QFile::remove(still);
    if (InstalledCapture())
        InstalledCapture()(still);
    if (checkCancelled)
        return SendOutcome::NotSent;
    if (!QFile::exists(still)) {
        WriteLog(QStringLiteral("キャプチャできませんでした"));
        return SendOutcome::NotSent;
    }
    WriteLog(QStringLiteral("メールの作成をしています..."));
    if (!ComposeReplyFile(still, account, setting, requester, true))
        return SendOutcome::NotSent;
    if (checkCancelled)
        return SendOutcome::NotSent;
    WriteLog(QStringLiteral("メールを送信しています..."));
    const SendOutcome outcome = SendReplyFile(account, requester, beforeMessageData);
    switch (outcome) {
    case SendOutcome::Sent:
        WriteLog(QStringLiteral("メールを送信しました"));
        break;
    case SendOutcome::Unconfirmed:
        WriteLog(QStringLiteral("メールを送信しましたが、サーバーが受け取ったかどうか確認できません"
                                "でした。このメールには再び返信しません"));
        break;
    case SendOutcome::Refused:
        WriteLog(QStringLiteral("メールの送信に失敗しました"));
        WriteLog(QStringLiteral("サーバーが返信を拒否したため、このメールには再び返信しません"));
        break;
    case SendOutcome::Abandoned:
        WriteLog(QStringLiteral("返信を記録できないため、メールの送信を中止しました"));
        break;
    case SendOutcome::NotSent:
        WriteLog(QStringLiteral("メールの送信に失敗しました"));
        break;
    }
    return outcome;
}

bool ComposeReplyFile(const QString& still, const CMailAccount& account, const CResAccount& setting,
                      const QString& recipient, bool deleteTemporaries) {
    QString failure;
    // The mail comes from the account, as its envelope does: a request's header never
    // chooses the address it claims to be from.
    if (ComposeReply(still, TempFolder() + QStringLiteral("/new.eml"), setting, account.MailAddr,
                     recipient, deleteTemporaries, failure))
        return true;
    if (!failure.isEmpty())
        WriteLog(failure);
    WriteLog(QStringLiteral("メールの作成に失敗しました"));
    return false;
}

StillCapture SetStillCapture(StillCapture capture) {
    return std::exchange(InstalledCapture(), std::move(capture));
}
