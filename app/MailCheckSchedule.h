#pragma once
// When a mail check runs: the one-minute ticks counted against the interval, the guard that
// keeps two checks from overlapping, and the start-up gate. No window and no timer here: the
// main window feeds the ticks and the menu command.
#include <functional>

class MailCheckSchedule {
  public:
    // runMailCheck runs one whole mail check.
    explicit MailCheckSchedule(std::function<void()> runMailCheck);

    // One tick of the mail-check timer: counts it and runs the check once interval ticks
    // have been counted. A tick during a timer-started check is dropped; a check that falls
    // due before start-up has bound the clients, or while a menu-started check runs, stays
    // due and starts at the first tick after.
    void Tick(int interval);
    // Runs one check at once, unless one is already running.
    void RunNow();
    // Start-up has bound the clients: from now on a due check may run.
    void ClientsBound() { loaded = true; }

    int Count() const { return nMailCheckCount; }
    bool Checking() const { return bMailChecking || bTestMailChecking; }

  private:
    void RunGuarded(bool fromTimer);

    std::function<void()> runMailCheck;
    int nMailCheckCount = 0;
    bool bMailChecking = false;     // a check started by the timer runs
    bool bTestMailChecking = false; // a check started from the menu runs
    bool loaded = false;
};
