#include "platform/SocketControl.h"

#include "platform/CodePage.h"

#include <QTcpSocket>

SocketControl::SocketControl(QObject* parent) : QObject(parent), socket(new QTcpSocket(this)) {
    connect(socket, &QTcpSocket::hostFound, this, [this] { state = sckConnecting; });
    connect(socket, &QTcpSocket::connected, this, [this] { state = sckConnected; });
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        if (onDataArrival)
            onDataArrival(socket->bytesAvailable());
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The peer's orderly close is not an error: it arrives as disconnected below.
        if (error != QAbstractSocket::RemoteHostClosedError)
            state = sckError;
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        if (state != sckConnected)
            return;
        state = sckClosing;
        if (onClose)
            onClose();
    });
}

SocketControl::~SocketControl() {
    // The socket is a child; stop its signals before the handlers' owners go away.
    socket->disconnect(this);
}

void SocketControl::Connect(const QString& sHost, int nPort) {
    Close();
    if (nPort < 1 || nPort > 65535) {
        state = sckError;
        return;
    }
    state = sckResolvingHost;
    socket->connectToHost(sHost, static_cast<quint16>(nPort));
}

bool SocketControl::SendData(const QString& sText) {
    if (state != sckConnected)
        return false;
    const QByteArray bytes = ToCodePage932(sText);
    if (socket->write(bytes) != bytes.size())
        return false;
    // Out at once, not at the next turn of the event loop: each command waits for its reply.
    socket->flush();
    return true;
}

bool SocketControl::GetData(QString& retText) {
    QByteArray bytes = incomplete + socket->readAll();
    retText = FromCodePage932(bytes, incomplete);
    return true;
}

void SocketControl::Close() {
    // Closed before the abort, so that the disconnect it causes raises no close event.
    state = sckClosed;
    socket->abort();
    incomplete.clear();
}
