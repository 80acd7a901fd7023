#include "platform/Clock.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <utility>

namespace {
LocalClock& InstalledLocal() {
    static LocalClock clock;
    return clock;
}

class SystemSteadyClock : public SteadyClock {
  public:
    double Seconds() override {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    void Sleep(int ms) override {
        if (ms > 0)
            QThread::msleep(static_cast<unsigned long>(ms));
    }
    void WaitForEvents(int ms) override {
        if (ms <= 0)
            return;
        if (!QCoreApplication::instance()) {
            Sleep(ms);
            return;
        }
        // The timer bounds the wait; a socket, timer or window event ends it earlier.
        QTimer bound;
        bound.setSingleShot(true);
        bound.setTimerType(Qt::PreciseTimer);
        bound.start(ms);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
};

SteadyClock*& InstalledSteady() {
    static SystemSteadyClock system;
    static SteadyClock* clock = &system;
    return clock;
}
} // namespace

QDateTime LocalNow() {
    return InstalledLocal() ? InstalledLocal()() : QDateTime::currentDateTime();
}

LocalClock SetLocalClock(LocalClock clock) {
    return std::exchange(InstalledLocal(), std::move(clock));
}

SteadyClock* SetSteadyClock(SteadyClock* clock) {
    static SteadyClock* const system = InstalledSteady();
    return std::exchange(InstalledSteady(), clock ? clock : system);
}

double SteadySeconds() {
    return InstalledSteady()->Seconds();
}

void SteadySleep(int ms) {
    InstalledSteady()->Sleep(ms);
}

void SteadyWaitForEvents(int ms) {
    InstalledSteady()->WaitForEvents(ms);
}
