#include "tests/support/FakeClock.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {
FakeClock*& CurrentFake() {
    static FakeClock* clock = nullptr;
    return clock;
}
} // namespace

FakeClock::FakeClock()
    : previousFake(std::exchange(CurrentFake(), this)), installed(&SetSteadyClock, this) {}

FakeClock::~FakeClock() {
    CurrentFake() = previousFake;
}

double FakeClock::Seconds() {
    return static_cast<double>(nowMs) / 1000.0;
}

void FakeClock::Sleep(int ms) {
    nowMs += std::max(ms, 1);
    while (!alarms.empty() && alarms.begin()->first <= nowMs) {
        std::function<void()> action = std::move(alarms.begin()->second);
        alarms.erase(alarms.begin());
        action();
    }
}

void FakeClock::After(int ms, std::function<void()> action) {
    alarms.emplace(nowMs + std::max(ms, 0), std::move(action));
}

FakeClock* FakeClock::Current() {
    return CurrentFake();
}

void RunAfter(int ms, QObject* context, std::function<void()> action) {
    if (FakeClock* fake = FakeClock::Current()) {
        fake->After(ms, [guard = QPointer<QObject>(context), action = std::move(action)] {
            if (guard)
                action();
        });
        return;
    }
    QTimer::singleShot(ms, context, std::move(action));
}
