#pragma once
// Push for an IMAP account: while the program is idle it holds one connection of its own in
// IDLE (RFC 2177), and a new message (an EXISTS) or a fresh connection starts a mail check at
// once. IDLE is renewed every 25 minutes (the RFC asks for less than 29); a dropped connection
// is tried again after 1 s, doubling to 5 min, and each drop is logged once. Without IDLE on
// the server the mail-check timer alone receives mail. Driven by Tick, on the steady clock.
#include "mailcheck/CIMAP.h"
#include "mailcheck/SocketRouting.h"
#include "settings/CMailAccount.h"

#include <functional>

class SocketControl;

class IMAPPush {
  public:
    // startCheck runs one mail check now and answers false when it cannot (a check or a
    // dialog is open); the push then asks again at its next Tick.
    IMAPPush(SocketControl& sock, std::function<bool()> startCheck);
    IMAPPush(const IMAPPush&) = delete;
    IMAPPush& operator=(const IMAPPush&) = delete;

    constexpr static double RenewSeconds = 25 * 60;
    constexpr static double FirstRetrySeconds = 1;
    constexpr static double LastRetrySeconds = 5 * 60;

    // One look, about once a second and whenever data arrives: follows account (push only for
    // an IMAP account; a changed account connects anew), connects when a retry is due, takes
    // in what came during IDLE, renews IDLE when due and starts the check a new message asks
    // for. Does nothing while a Tick runs.
    void Tick(const CMailAccount& account);
    // Ends the push: LOGOUT when IDLE holds, otherwise the connection is closed.
    void Stop();
    // Whether a connection is in IDLE now.
    bool Holding() const { return state == State::Idling; }
    // Seconds until the next connection attempt after a drop (the backoff in force).
    double RetryDelay() const { return backoff; }

  private:
    enum class State { Off, Waiting, Idling, NoIdle };
    // Connects, logs in, selects and starts IDLE; false when any step failed.
    bool Open();
    void Dropped();

    CIMAP imap;
    IMAPRouting routing;
    std::function<bool()> startCheck;
    CMailAccount held; // the account the push is for
    State state = State::Off;
    bool ticking = false;
    bool checkWanted = false;
    bool dropLogged = false;
    double backoff = FirstRetrySeconds;
    double nextAttempt = 0;
    double idleSince = 0;
};
