#include "tests/support/FaultProxy.h"

#include "tests/support/FakeClock.h"

#include <QTcpSocket>
#include <algorithm>
#include <utility>

FaultPoint DropBefore(const QByteArray& text) {
    return {text, -1};
}

FaultPoint DropInReplyTo(const QByteArray& text, int bytes) {
    return {text, bytes};
}

FaultPoint DelayReplyTo(const QByteArray& text, int ms) {
    return {text, 0, ms};
}

FaultPoint SlowUploadAfter(const QByteArray& text, int bytesPerSecond) {
    return {text, 0, 0, bytesPerSecond};
}

struct FaultProxy::Link {
    QTcpSocket* client = nullptr;
    QTcpSocket server;
    bool armed = false; // the connection that meets the fault
    FaultPoint fault;
    QByteArray sent;       // the client's bytes so far, while the fault point is looked for
    bool textSent = false; // the fault text has reached the server
    qint64 replyLeft = 0;  // of the server's answer to it, still let through
    QByteArray upload;     // the client's bytes held for a slow uplink
    bool uploading = false;
    bool closed = false;
};

FaultProxy::FaultProxy(int port, FaultPoint point) : serverPort(port), fault(std::move(point)) {
    QObject::connect(&listener, &QTcpServer::newConnection, &listener, [this] { Accept(); });
    listener.listen(QHostAddress::LocalHost, 0);
}

FaultProxy::~FaultProxy() {
    for (const auto& link : links) {
        QObject::disconnect(link->client, nullptr, nullptr, nullptr);
        QObject::disconnect(&link->server, nullptr, nullptr, nullptr);
    }
}

void FaultProxy::ArmNext(FaultPoint next) {
    for (const auto& link : links)
        link->armed = false;
    fault = std::move(next);
    armed = true;
    dropped = false;
}

void FaultProxy::Accept() {
    while (QTcpSocket* client = listener.nextPendingConnection()) {
        links.push_back(std::make_unique<Link>());
        Link& link = *links.back();
        link.client = client;
        // A fault without a text is none.
        link.armed = std::exchange(armed, false) && !fault.text.isEmpty();
        link.fault = fault;
        for (QTcpSocket* socket : {client, &link.server})
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(client, &QTcpSocket::readyRead, &listener,
                         [this, &link] { FromClient(link); });
        QObject::connect(&link.server, &QTcpSocket::readyRead, &listener,
                         [this, &link] { FromServer(link); });
        // What the client sends before the server's side is open waits in the client socket.
        QObject::connect(&link.server, &QTcpSocket::connected, &listener,
                         [this, &link] { FromClient(link); });
        // Either side hanging up ends the other, as a plain relay does.
        QObject::connect(client, &QTcpSocket::disconnected, &listener,
                         [&link] { link.server.disconnectFromHost(); });
        QObject::connect(&link.server, &QTcpSocket::disconnected, &listener, [this, &link] {
            // A held answer reaches the client before the close that followed it.
            if (link.armed && link.textSent && link.fault.delayMs > 0)
                RunAfter(link.fault.delayMs, &listener,
                         [&link] { link.client->disconnectFromHost(); });
            else
                link.client->disconnectFromHost();
        });
        link.server.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(serverPort));
    }
}

void FaultProxy::FromClient(Link& link) {
    if (link.closed || link.server.state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray bytes = link.client->readAll();
    if (link.armed && link.textSent && link.fault.uploadBytesPerSecond > 0) {
        link.upload += bytes;
        if (!link.uploading)
            Upload(link);
        return;
    }
    if (link.armed && !link.textSent) {
        const qsizetype before = link.sent.size();
        link.sent += bytes;
        const qsizetype at = link.sent.indexOf(link.fault.text);
        if (at >= 0 && link.fault.replyBytes < 0) {
            link.server.write(bytes.left(at - before));
            link.server.flush();
            Drop(link);
            return;
        }
        if (at >= 0) {
            link.textSent = true;
            link.replyLeft = link.fault.replyBytes;
        }
    }
    link.server.write(bytes);
    link.server.flush();
}

void FaultProxy::FromServer(Link& link) {
    if (link.closed)
        return;
    QByteArray bytes = link.server.readAll();
    if (link.armed && link.textSent && link.fault.delayMs > 0) {
        dropped = true;
        ToClient(link, bytes);
        return;
    }
    if (link.armed && link.textSent && link.fault.uploadBytesPerSecond == 0) {
        if (bytes.size() >= link.replyLeft) {
            link.client->write(bytes.left(link.replyLeft));
            Drop(link);
            return;
        }
        link.replyLeft -= bytes.size();
    }
    link.client->write(bytes);
    link.client->flush();
}

void FaultProxy::ToClient(Link& link, const QByteArray& bytes) {
    // Later bytes keep their order behind the held ones.
    RunAfter(link.fault.delayMs, &listener, [&link, bytes] {
        if (link.client->state() != QAbstractSocket::ConnectedState)
            return;
        link.client->write(bytes);
        link.client->flush();
    });
}

void FaultProxy::Upload(Link& link) {
    link.uploading = !link.upload.isEmpty();
    if (!link.uploading || link.closed)
        return;
    const qsizetype chunk = std::max(1, link.fault.uploadBytesPerSecond / 10);
    link.server.write(link.upload.left(chunk));
    link.server.flush();
    link.upload.remove(0, chunk);
    dropped = true;
    RunAfter(100, &listener, [this, &link] { Upload(link); });
}

void FaultProxy::Drop(Link& link) {
    link.closed = true;
    dropped = true;
    link.server.abort();
    link.client->disconnectFromHost();
}
