#include "mailcheck/IMAPPush.h"

#include "log/WriteLog.h"
#include "platform/Clock.h"

#include <algorithm>
#include <utility>

namespace {

// The facts a push connection depends on.
bool SameServer(const CMailAccount& a, const CMailAccount& b) {
    return a.MailProtocol == b.MailProtocol && a.POPHost == b.POPHost && a.POPPort == b.POPPort &&
           a.POPSecurity == b.POPSecurity && a.POPCertificate == b.POPCertificate &&
           a.UserName == b.UserName && a.Password == b.Password && a.IMAPFolder == b.IMAPFolder;
}

} // namespace

IMAPPush::IMAPPush(SocketControl& sock, std::function<bool()> startCheck)
    : routing(sock, imap, [this] { Tick(held); }), startCheck(std::move(startCheck)) {
    imap.Init(sock);
}

void IMAPPush::Tick(const CMailAccount& account) {
    if (ticking)
        return;
    ticking = true;
    if (state != State::Off && !SameServer(account, held))
        Stop();
    if (state == State::Off && account.MailProtocol == ProtocolIMAP) {
        held = account;
        state = State::Waiting;
        nextAttempt = SteadySeconds();
        backoff = FirstRetrySeconds;
        dropLogged = false;
    }
    const double now = SteadySeconds();
    if (state == State::Waiting && now >= nextAttempt) {
        if (Open())
            checkWanted = true; // what came while no connection watched
        else if (state == State::Waiting)
            Dropped();
    } else if (state == State::Idling) {
        if (!imap.PollIdle()) {
            Dropped();
        } else if (now - idleSince >= RenewSeconds) {
            if (imap.Done() && imap.Idle())
                idleSince = SteadySeconds();
            else
                Dropped();
        }
        checkWanted = checkWanted || imap.TakeNewMail();
    }
    if (checkWanted && state == State::Idling)
        checkWanted = !startCheck();
    ticking = false;
}

bool IMAPPush::Open() {
    imap.TimeoutSecond(static_cast<float>(held.Timeout));
    imap.Security(held.POPSecurity, held.POPCertificate);
    if (!imap.Connect(held.POPHost, held.POPPort) || !imap.Login(held.UserName, held.Password) ||
        !imap.Select(held.IMAPFolder)) {
        imap.SockClose();
        return false;
    }
    if (!imap.HasCapability("IDLE")) {
        WriteLog(
            QStringLiteral("IMAPサーバーがIDLEに対応していないため、プッシュ受信を使いません"));
        imap.Logout();
        state = State::NoIdle;
        return false;
    }
    if (!imap.Idle()) {
        imap.SockClose();
        return false;
    }
    WriteLog(dropLogged ? QStringLiteral("IMAPサーバーに再接続しました。プッシュ受信を再開します")
                        : QStringLiteral("プッシュ受信を開始しました (") + held.IMAPFolder + u')');
    state = State::Idling;
    idleSince = SteadySeconds();
    backoff = FirstRetrySeconds;
    dropLogged = false;
    return true;
}

void IMAPPush::Dropped() {
    imap.SockClose();
    if (!dropLogged)
        WriteLog(QStringLiteral("プッシュ受信の接続が切れました。再接続します"));
    dropLogged = true;
    state = State::Waiting;
    nextAttempt = SteadySeconds() + backoff;
    backoff = std::min(backoff * 2, LastRetrySeconds);
}

void IMAPPush::Stop() {
    // The completion of DONE is the command's, not news for a Tick to take in.
    const bool wasTicking = std::exchange(ticking, true);
    if (state == State::Idling && imap.Done())
        imap.Logout();
    imap.SockClose();
    if (state == State::Idling)
        WriteLog(QStringLiteral("プッシュ受信を終了しました"));
    state = State::Off;
    checkWanted = false;
    ticking = wasTicking;
}
