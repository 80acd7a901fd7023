#include "platform/Clock.h"

#include <chrono>
#include <utility>

namespace {
LocalClock& Installed() {
    static LocalClock clock;
    return clock;
}
} // namespace

QDateTime LocalNow() { return Installed() ? Installed()() : QDateTime::currentDateTime(); }

LocalClock SetLocalClock(LocalClock clock) { return std::exchange(Installed(), std::move(clock)); }

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
