#pragma once
// When a mail check runs: the one-minute ticks counted against the interval, the guard that
// keeps two checks from overlapping, and the start-up gate; and the work that runs beside the
// checks (a motion alert), never during one. No window and no timer here: the main window
// feeds the ticks and the menu command.
#include <functional>

class MailCheckSchedule {
  public:
    // runMailCheck runs one whole mail check.
    explicit MailCheckSchedule(std::function<void()> runMailCheck);

    // One tick of the mail-check timer: counts it and runs the check once interval ticks
    // have been counted. A tick during a timer-started check is dropped; a check that falls
    // due before start-up has bound the clients, or while a menu-started check runs, stays
    // due and starts at the first tick after; one that falls due during work beside the
    // checks starts as soon as that work has ended.
    void Tick(int interval);
    // Runs one check at once, unless one is already running; during work beside the checks,
    // as soon as that work has ended.
    void RunNow();
    // Start-up has bound the clients: from now on a due check may run.
    void ClientsBound() { loaded = true; }
    // Runs work at once unless a check or other work runs: false then, and work does not run.
    // A check that falls due meanwhile waits for work alone, and runs before this returns.
    bool RunBesideChecks(const std::function<void()>& work);

    int Count() const { return nMailCheckCount; }
    bool Checking() const { return bMailChecking || bTestMailChecking; }
    // A check, or work beside the checks, runs.
    bool Busy() const { return Checking() || working; }

  private:
    void RunGuarded(bool fromTimer);

    std::function<void()> runMailCheck;
    int nMailCheckCount = 0;
    bool bMailChecking = false;     // a check started by the timer runs
    bool bTestMailChecking = false; // a check started from the menu runs
    bool loaded = false;
    bool working = false;        // work beside the checks runs
    bool timerCheckDue = false;  // and a tick made a check due meanwhile
    bool menuCheckAsked = false; // or the menu command asked for one
};
