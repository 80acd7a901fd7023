#include "platform/EventPump.h"

#include "platform/Clock.h"

#include <QCoreApplication>

void DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Through the steady clock, so that a fake clock's time moves with the waits.
void Sleep(int ms) {
    SteadySleep(ms);
}

void WaitForEvents(int ms) {
    SteadyWaitForEvents(ms);
}
