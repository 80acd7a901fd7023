#pragma once
// A steady clock that moves only when the code under test sleeps, installed while it lives.
// A sleep advances it by its length (at least one millisecond, so that a wait without sleeps
// still reaches its deadline) and runs the alarms that fall due, in time order. Time-out
// tests then take milliseconds and see exact deadlines.
#include "platform/Clock.h"
#include "tests/support/ScopedHook.h"

#include <cstdint>
#include <functional>
#include <map>

class FakeClock : public SteadyClock {
  public:
    FakeClock();
    ~FakeClock() override;

    double Seconds() override;
    void Sleep(int ms) override;

    // Runs action once the clock has moved ms milliseconds on from now.
    void After(int ms, std::function<void()> action);
    // Milliseconds slept since the clock was installed.
    int64_t ElapsedMs() const { return nowMs - startMs; }

    // The installed fake clock, or nullptr while the system clock runs.
    static FakeClock* Current();

  private:
    static constexpr int64_t startMs = 1'000'000;
    int64_t nowMs = startMs;
    std::multimap<int64_t, std::function<void()>> alarms;
    FakeClock* previousFake;
    ScopedHook<SteadyClock*> installed;
};

// Runs action after ms milliseconds of the fake clock when one is installed, otherwise after
// ms real milliseconds from the event loop; context ends a pending action with its life.
class QObject;
void RunAfter(int ms, QObject* context, std::function<void()> action);
