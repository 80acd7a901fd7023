#include "mailcheck/IMAPMailCheck.h"

#include "log/WriteLog.h"
#include "mailcheck/CIMAP.h"
#include "mailcheck/IMAPLedger.h"
#include "mailcheck/MailCheckSteps.h"
#include "mailcheck/modMailCheck.h"
#include "platform/CodePage.h"
#include "settings/ProgramObjects.h"

#include <algorithm>

namespace {

const QByteArray SkippedKeyword = QByteArrayLiteral("$VistrelSkipped");

// Whether the session still holds after a command failed; logs why when it does not (a
// cancelled check ends without a word).
bool SessionHolds(const CIMAP& imap, const QString& sCommand) {
    if (MailCheckCancelled())
        return false;
    if (!imap.IsConnected()) {
        WriteLog(QStringLiteral("サーバーとの接続が切れました"));
        return false;
    }
    if (!imap.InStep()) {
        WriteLog(QStringLiteral("IMAPサーバーの応答が時間内に届かないか読み取れないため、メール"
                                "チェックを終えます (") +
                 sCommand + u')');
        return false;
    }
    return true;
}

// One check's walk of the selected folder.
class FolderWalk {
  public:
    FolderWalk(CIMAP& imap, const CMailAccount& account)
        : imap(imap), account(account), received(ReceivedUidlList), validity(imap.UidValidity()),
          deleting(DeleteAfterReply && !AcceptedLeftSubject.isEmpty()) {}

    // Answers the pending requests; false when the session broke.
    bool Run();

  private:
    QString Entry(LedgerKind kind, quint32 uid) const {
        return LedgerEntry(kind, validity, uid, account.IMAPFolder);
    }
    // Whether the session still holds after command failed; logs why when it does not.
    bool Holds(const QString& sCommand);
    bool Handle(quint32 uid);
    // Flags an answered request \Answered and, when deleting, removes it.
    bool Settle(quint32 uid);
    bool PassOver(quint32 uid);

    CIMAP& imap;
    const CMailAccount& account;
    ReceivedUidls received;
    quint32 validity;
    bool deleting;
};

bool FolderWalk::Holds(const QString& sCommand) {
    return SessionHolds(imap, sCommand);
}

bool FolderWalk::Run() {
    QList<quint32> pending;
    if (!imap.UidSearch("UNANSWERED UNDELETED UNKEYWORD " + SkippedKeyword, pending)) {
        if (Holds(QStringLiteral("SEARCH")))
            WriteLog(QStringLiteral("メールの一覧を取得できませんでした"));
        return imap.InStep();
    }
    for (const QString& entry : StaleLedgerEntries(received.List().value_or(QStringList()),
                                                   account.IMAPFolder, validity, pending))
        received.Forget(entry);
    if (pending.isEmpty())
        WriteLog(QStringLiteral("メールはありませんでした"));
    std::sort(pending.begin(), pending.end());
    bool sound = true;
    for (const quint32 uid : pending) {
        if (MailCheckCancelled() || !(sound = Handle(uid)))
            break;
    }
    if (received.Changed())
        StoreReceived(received);
    return sound;
}

bool FolderWalk::Handle(quint32 uid) {
    if (!received.IsNewUidl(Entry(LedgerKind::Skipped, uid)))
        return true;
    // Its reply went out in a check that ended before the flag: flag it now, send nothing.
    if (!received.IsNewUidl(Entry(LedgerKind::Replying, uid)))
        return Settle(uid);
    QByteArray header;
    QList<QByteArray> flags;
    if (!imap.UidFetchHeader(uid, header, flags)) {
        if (!Holds(QStringLiteral("FETCH")))
            return false;
        WriteLog(QStringLiteral("メールのヘッダを取得できませんでした"));
        return true;
    }
    const QString replying = Entry(LedgerKind::Replying, uid);
    bool recorded = false;
    const Outcome outcome =
        AnswerRequest(account, FromCodePage932(header), [this, &replying, &recorded] {
            received.Conclude(replying);
            recorded = true;
            return StoreReceived(received);
        });
    if (recorded && outcome != Outcome::Answered && !MailCheckCancelled()) {
        received.Forget(replying);
        StoreReceived(received);
    }
    switch (outcome) {
    case Outcome::Stop:
        return false;
    case Outcome::Retry:
        return true;
    case Outcome::Concluded:
        return PassOver(uid);
    case Outcome::Answered:
        break;
    }
    return MailCheckCancelled() || Settle(uid);
}

bool FolderWalk::Settle(quint32 uid) {
    if (!imap.UidStoreFlags(uid, "\\Answered")) {
        if (!Holds(QStringLiteral("STORE")))
            return false;
        WriteLog(QStringLiteral("返信済みの印を付けられませんでした"));
        return true;
    }
    received.Forget(Entry(LedgerKind::Replying, uid));
    if (received.Changed())
        StoreReceived(received);
    if (!deleting)
        return true;
    bool othersMarked = false;
    if (imap.UidStoreFlags(uid, "\\Deleted") && imap.UidExpunge(uid, othersMarked)) {
        WriteLog(QStringLiteral("メールを削除しました"));
        return true;
    }
    if (!Holds(QStringLiteral("EXPUNGE")))
        return false;
    WriteLog(othersMarked ? QStringLiteral("他のメールにも削除の印があるため、メールを削除しません"
                                           "でした")
                          : QStringLiteral("メールを削除できませんでした"));
    return true;
}

bool FolderWalk::PassOver(quint32 uid) {
    if (imap.KeywordsAllowed() && imap.UidStoreFlags(uid, SkippedKeyword))
        return true;
    if (imap.KeywordsAllowed() && !Holds(QStringLiteral("STORE")))
        return false;
    received.Conclude(Entry(LedgerKind::Skipped, uid));
    return true;
}

// Selects the account's folder and walks it; false when the session broke.
bool SelectAndWalk(CIMAP& imap, const CMailAccount& account) {
    const QString folder = QStringLiteral("フォルダ ") + account.IMAPFolder;
    if (!imap.Select(account.IMAPFolder)) {
        if (!SessionHolds(imap, QStringLiteral("SELECT")))
            return false;
        WriteLog(folder + QStringLiteral(" を選択できませんでした"));
        return true;
    }
    WriteLog(folder + QStringLiteral(" を選択しました"));
    FolderWalk walk(imap, account);
    return walk.Run();
}

} // namespace

void RunIMAPMailCheck(const CMailAccount& account) {
    CIMAP& imap = IMAPClient();
    imap.TimeoutSecond(static_cast<float>(account.Timeout));
    imap.Security(account.POPSecurity, account.POPCertificate);
    WriteLog(QStringLiteral("接続しています..."));
    if (!imap.Connect(account.POPHost, account.POPPort) || MailCheckCancelled()) {
        if (!MailCheckCancelled())
            WriteLog(QStringLiteral("接続できませんでした。インターネットに接続できる状態ではない"
                                    "か、ホスト名が正しくありません。"));
        imap.SockClose();
        return;
    }
    WriteLog(QStringLiteral("接続しました"));
    const bool loggedIn = imap.Login(account.UserName, account.Password);
    WriteLog(QStringLiteral("ログインします..."));
    bool sound = !MailCheckCancelled();
    if (sound && !loggedIn) {
        WriteLog(QStringLiteral("ログインできませんでした"));
        sound = SessionHolds(imap, QStringLiteral("ログイン"));
    } else if (sound) {
        WriteLog(QStringLiteral("ログインしました"));
        sound = SelectAndWalk(imap, account);
    }
    // A broken session or a cancelled check takes no further step.
    if (sound && !MailCheckCancelled() && imap.IsConnected() && imap.InStep())
        imap.Logout();
    else
        imap.SockClose();
}
