#pragma once
// A steady clock that runs with the one installed before it, moved forward at will by the
// test, and installed while it lives: waits on real servers keep their real time, while
// minutes of a camera's life pass at once.
#include "platform/Clock.h"

class ShiftedClock : public SteadyClock {
  public:
    ShiftedClock() : underlying(SetSteadyClock(this)) {}
    ~ShiftedClock() override { SetSteadyClock(underlying); }
    ShiftedClock(const ShiftedClock&) = delete;
    ShiftedClock& operator=(const ShiftedClock&) = delete;

    double Seconds() override { return underlying->Seconds() + shiftMs / 1000.0; }
    void Sleep(int ms) override { underlying->Sleep(ms); }
    void WaitForEvents(int ms) override { underlying->WaitForEvents(ms); }

    // Moves the clock ms milliseconds on, at once.
    void Shift(int ms) { shiftMs += ms; }

  private:
    SteadyClock* underlying;
    long long shiftMs = 0;
};
