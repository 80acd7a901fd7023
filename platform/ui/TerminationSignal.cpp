#include "platform/ui/TerminationSignal.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only write to a pipe; the event loop reads it and acts on the GUI thread.
int signalPipe[2] = {-1, -1};

// errno is put back: the interrupted code may be about to read it, and the write fails once
// the pipe is full.
void OnSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t written = write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

void CatchTerminationSignals() {
    if (signalPipe[0] >= 0 || pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void CloseOnTerminationSignal(QWidget* mainWindow) {
    CatchTerminationSignals();
    if (signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, mainWindow,
                     [window = QPointer<QWidget>(mainWindow)] {
                         char bytes[16];
                         while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
                         }
                         if (window)
                             window->close();
                     });
}
