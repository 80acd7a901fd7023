#include "tests/support/ScriptedServer.h"

#include "tests/support/FakeClock.h"

#include <QTcpSocket>

ScriptStep Say(const QByteArray& text) {
    return {ScriptStep::Say, text};
}
ScriptStep Hear() {
    return {ScriptStep::Hear, {}};
}
ScriptStep HearUntil(const QByteArray& line) {
    return {ScriptStep::HearUntil, line};
}
ScriptStep Pause(int ms) {
    return {ScriptStep::Pause, {}, ms};
}
ScriptStep Hangup() {
    return {ScriptStep::Hangup, {}};
}

ScriptedServer::ScriptedServer(std::vector<ScriptStep> steps) : script(std::move(steps)) {
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this] { Accept(); });
    server.listen(QHostAddress::LocalHost, 0);
}

void ScriptedServer::Accept() {
    QTcpSocket* next = server.nextPendingConnection();
    if (peer) {
        // One conversation per server; a second caller is turned away.
        next->abort();
        return;
    }
    peer = next;
    // Each text goes out when it is said: with the fake clock a client waits through its
    // time-out in less real time than the network would hold a small segment back.
    peer->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QObject::connect(peer, &QTcpSocket::readyRead, &server, [this] { Receive(); });
    Run();
}

void ScriptedServer::Receive() {
    pending += peer->readAll();
    for (qsizetype end = pending.indexOf("\r\n"); end >= 0; end = pending.indexOf("\r\n")) {
        const QString line = QString::fromLatin1(pending.left(end));
        pending.remove(0, end + 2);
        heard.append(line);
        lines.append(line);
    }
    if (!pausing && next < script.size() &&
        (script[next].kind == ScriptStep::Hear || script[next].kind == ScriptStep::HearUntil))
        Run();
}

void ScriptedServer::Run() {
    while (next < script.size()) {
        const ScriptStep& step = script[next];
        switch (step.kind) {
        case ScriptStep::Say:
            peer->write(step.text);
            peer->flush();
            break;
        case ScriptStep::Hear:
            if (lines.isEmpty())
                return;
            lines.removeFirst();
            break;
        case ScriptStep::HearUntil:
            while (!lines.isEmpty() && lines.first() != QString::fromLatin1(step.text))
                lines.removeFirst();
            if (lines.isEmpty())
                return;
            lines.removeFirst();
            break;
        case ScriptStep::Pause:
            ++next;
            pausing = true;
            RunAfter(step.ms, &server, [this] {
                pausing = false;
                Run();
            });
            return;
        case ScriptStep::Hangup:
            peer->disconnectFromHost();
            break;
        }
        ++next;
    }
}
