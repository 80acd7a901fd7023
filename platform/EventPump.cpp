#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QThread>

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Sleep(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}
