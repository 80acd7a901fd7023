#pragma once
// The local date and time, and the steady clock that the waits measure deadlines on and sleep
// by; tests replace each through a seam.
#include <QDateTime>
#include <functional>

QDateTime LocalNow();
using LocalClock = std::function<QDateTime()>;
// Installs clock (an empty one restores the system clock); answers the one it replaces.
LocalClock SetLocalClock(LocalClock clock);

// Seconds since an arbitrary start, never going back, and a sleep that those seconds see.
class SteadyClock {
  public:
    virtual ~SteadyClock() = default;
    virtual double Seconds() = 0;
    // Suspends the thread for ms milliseconds (nothing when ms is 0 or less).
    virtual void Sleep(int ms) = 0;
    // Waits at most ms milliseconds for an event of the thread's event loop and handles what
    // comes, so that a wait ends as soon as there is something to see. A clock that cannot
    // see events just sleeps.
    virtual void WaitForEvents(int ms) { Sleep(ms); }
};
// Installs clock (nullptr restores the system's); answers the one it replaces. The caller
// keeps ownership.
SteadyClock* SetSteadyClock(SteadyClock* clock);

// The installed steady clock's seconds; deadlines are measured on it.
double SteadySeconds();
// Sleeps ms milliseconds on the installed steady clock.
void SteadySleep(int ms);
// Waits for events at most ms milliseconds on the installed steady clock.
void SteadyWaitForEvents(int ms);
