#include "mailcheck/MailboxConnection.h"

#include "log/WriteLog.h"
#include "platform/SocketControl.h"
#include "settings/CMailAccount.h"

void MailboxConnection::Init(SocketControl& sockControl) {
    sock = &sockControl;
    wait = ReplyWait();
}

void MailboxConnection::SockClose() {
    if (sock)
        sock->Close();
}

void MailboxConnection::Cancel() {
    wait.bCancel = true;
}

void MailboxConnection::Security(int nSecurity, const QString& sPinnedFingerprint) {
    security = nSecurity;
    pinned = sPinnedFingerprint;
}

const TlsCheck& MailboxConnection::Certificate() const {
    static const TlsCheck none;
    return sock ? sock->Certificate() : none;
}

bool MailboxConnection::IsConnected() const {
    return sock && sock->State() == SocketControl::sckConnected;
}

bool MailboxConnection::Open(const QString& sHost, int nPort, const QString& sServer) {
    if (!sock)
        return false;
    sock->Close();
    if (security == SecurityTls)
        sock->ConnectTls(sHost, nPort, pinned);
    else
        sock->Connect(sHost, nPort, security == SecurityStartTls);
    return WaitConnected(sServer);
}

bool MailboxConnection::WaitConnected(const QString& sServer) {
    // A connection that is refused, fails or is dropped before it opens ends the wait at once.
    const bool connected =
        wait.Until([this] { return IsConnected(); }, [this] { return !sock->IsDown(); });
    if (connected)
        return true;
    wait.bCancel = false;
    if (sock->Certificate().Problem != TlsProblem::None)
        return Refused(TlsFailureLine(sServer, sock->Certificate()));
    return false;
}

bool MailboxConnection::Refused(const QString& sReason) {
    lastFailure = sReason;
    WriteLog(sReason);
    return false;
}
