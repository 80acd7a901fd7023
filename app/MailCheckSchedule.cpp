#include "app/MailCheckSchedule.h"

#include <utility>

MailCheckSchedule::MailCheckSchedule(std::function<void()> runCheck)
    : runMailCheck(std::move(runCheck)) {}

void MailCheckSchedule::Tick(int interval) {
    if (bMailChecking)
        return;
    ++nMailCheckCount;
    if (nMailCheckCount >= interval && loaded && !bTestMailChecking)
        RunGuarded(true);
}

void MailCheckSchedule::RunNow() {
    if (Checking())
        return;
    RunGuarded(false);
}

void MailCheckSchedule::RunGuarded(bool fromTimer) {
    bool& running = fromTimer ? bMailChecking : bTestMailChecking;
    running = true;
    runMailCheck();
    running = false;
    if (fromTimer)
        nMailCheckCount = 0;
}
