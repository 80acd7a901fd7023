#include "app/MailCheckSchedule.h"

#include <utility>

MailCheckSchedule::MailCheckSchedule(std::function<void()> runCheck)
    : runMailCheck(std::move(runCheck)) {}

void MailCheckSchedule::Tick(int interval) {
    if (bMailChecking)
        return;
    ++nMailCheckCount;
    if (nMailCheckCount < interval || !loaded || bTestMailChecking)
        return;
    if (working)
        timerCheckDue = true;
    else
        RunGuarded(true);
}

void MailCheckSchedule::RunNow() {
    if (Checking())
        return;
    if (working)
        menuCheckAsked = true;
    else
        RunGuarded(false);
}

bool MailCheckSchedule::RunBesideChecks(const std::function<void()>& work) {
    if (Busy())
        return false;
    working = true;
    work();
    working = false;
    // The timer's check counts its ticks afresh, so it serves a menu command as well.
    const bool fromTimer = std::exchange(timerCheckDue, false);
    if (std::exchange(menuCheckAsked, false) || fromTimer)
        RunGuarded(fromTimer);
    return true;
}

void MailCheckSchedule::RunGuarded(bool fromTimer) {
    bool& running = fromTimer ? bMailChecking : bTestMailChecking;
    running = true;
    runMailCheck();
    running = false;
    if (fromTimer)
        nMailCheckCount = 0;
}
