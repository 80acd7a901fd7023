#include "platform/ui/TerminationSignal.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// The handler may only write to a pipe; the event loop reads it and acts on the GUI thread.
// Each byte is the signal's number.
int signalPipe[2] = {-1, -1};

// errno is put back: the interrupted code may be about to read it, and the write fails once
// the pipe is full.
void OnSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t written = write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

struct Handlers {
    std::function<void()> onEnd;
    std::function<void()> onHangUp;
};

Handlers& Installed() {
    static Handlers handlers;
    return handlers;
}

// Reads every waiting byte; a flood of signals acts once per kind.
void ReadSignals() {
    bool end = false, hangUp = false;
    char bytes[64];
    ssize_t count = 0;
    while ((count = read(signalPipe[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < count; ++i)
            (bytes[i] == SIGHUP ? hangUp : end) = true;
    // Copies: a handler may install others.
    const Handlers handlers = Installed();
    if (hangUp && !handlers.onHangUp)
        end = true;
    else if (hangUp)
        handlers.onHangUp();
    if (end && handlers.onEnd)
        handlers.onEnd();
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

void HandleTerminationSignals(std::function<void()> onEnd, std::function<void()> onHangUp) {
    CatchTerminationSignals();
    Installed() = {std::move(onEnd), std::move(onHangUp)};
    static QPointer<QSocketNotifier> notifier;
    if (signalPipe[0] < 0 || notifier)
        return;
    notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, ReadSignals);
    // A signal caught before the notifier existed is read at the first turn.
    QTimer::singleShot(0, notifier, ReadSignals);
}

void CloseWithItsDialogs(QWidget* mainWindow) {
    // Innermost first, so that each waiting exec() returns in order; a dialog that refuses
    // to go ends the round.
    QDialog* previous = nullptr;
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        if (dialog == previous)
            break;
        previous = dialog;
        dialog->reject();
    }
    QTimer::singleShot(0, mainWindow, [window = QPointer<QWidget>(mainWindow)] {
        if (window)
            window->close();
    });
}
