#include "platform/SocketControl.h"

#include "platform/CodePage.h"

#include <QCryptographicHash>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>

SocketControl::SocketControl(QObject* parent) : QObject(parent) {}

// The socket for the next connection: a TLS-capable one only when TLS may be used, so that a
// program whose connections are all plain never loads the TLS library.
void SocketControl::Prepare(bool tls) {
    if (socket && (tls == (tlsSocket != nullptr)))
        return;
    if (socket) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    tlsSocket = tls ? new QSslSocket(this) : nullptr;
    socket = tls ? tlsSocket : new QTcpSocket(this);
    connect(socket, &QTcpSocket::hostFound, this, [this] { state = sckConnecting; });
    connect(socket, &QTcpSocket::connected, this, [this] {
        // In TLS from the start, the connection is usable only after the handshake.
        if (!tlsPending)
            state = sckConnected;
    });
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        if (onDataArrival)
            onDataArrival(socket->bytesAvailable());
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The peer's orderly close is not an error, except in the middle of a handshake: it
        // arrives as disconnected below.
        if (error != QAbstractSocket::RemoteHostClosedError || tlsPending) {
            if (tlsPending && check.Problem == TlsProblem::None)
                check.Problem = TlsProblem::Failed;
            tlsPending = false;
            state = sckError;
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        if (tlsPending) {
            Refuse(TlsProblem::Failed);
            return;
        }
        if (state != sckConnected)
            return;
        state = sckClosing;
        if (onClose)
            onClose();
    });
    if (!tlsSocket)
        return;
    connect(tlsSocket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        check.Checked = true;
        check.Fingerprint = QString::fromLatin1(
            tlsSocket->peerCertificate().digest(QCryptographicHash::Sha256).toHex());
        check.Subject = tlsSocket->peerCertificate().subjectDisplayName();
        // A pinned certificate is trusted as it is: its fingerprint is the whole check.
        if (!pinned.isEmpty() && check.Fingerprint == pinned) {
            tlsSocket->ignoreSslErrors();
            return;
        }
        check.Problem = ProblemOf(errors);
    });
    connect(tlsSocket, &QSslSocket::encrypted, this, [this] { HandshakeDone(); });
}

SocketControl::~SocketControl() {
    // The socket is a child; stop its signals before the handlers' owners go away.
    if (socket)
        socket->disconnect(this);
}

void SocketControl::Connect(const QString& sHost, int nPort, bool tlsLater) {
    Close();
    Prepare(tlsLater);
    check = TlsCheck();
    if (nPort < 1 || nPort > 65535) {
        state = sckError;
        return;
    }
    state = sckResolvingHost;
    socket->connectToHost(sHost, static_cast<quint16>(nPort));
}

void SocketControl::ConnectTls(const QString& sHost, int nPort, const QString& sPinned) {
    Close();
    check = TlsCheck();
    if (nPort < 1 || nPort > 65535) {
        state = sckError;
        return;
    }
    Prepare(true);
    if (!PrepareTls(sPinned))
        return;
    state = sckResolvingHost;
    tlsSocket->connectToHostEncrypted(sHost, static_cast<quint16>(nPort));
}

bool SocketControl::StartTls(const QString& sPinned) {
    if (state != sckConnected || !tlsSocket || tlsSocket->isEncrypted())
        return false;
    // RFC 3207 section 4.2: what came before the handshake, taken or not, is dropped, so that
    // no byte a server or a man in the middle slipped in is read as if it came inside TLS.
    incomplete.clear();
    socket->skip(socket->bytesAvailable());
    check = TlsCheck();
    if (PrepareTls(sPinned)) {
        state = sckConnecting;
        tlsSocket->startClientEncryption();
    }
    return true;
}

bool SocketControl::IsEncrypted() const {
    return state == sckConnected && tlsSocket && tlsSocket->isEncrypted();
}

// False, refused in the error state, for a pin that cannot be read.
bool SocketControl::PrepareTls(const QString& sPinned) {
    pinned = NormalizedFingerprint(sPinned);
    // The user asked for one certificate alone; the usual verification in its place could
    // accept another that a trusted root vouches for.
    if (pinned.isEmpty() && !sPinned.trimmed().isEmpty()) {
        Refuse(TlsProblem::UnreadablePin);
        return false;
    }
    tlsPending = true;
    // What the server's certificate is checked against is the program-wide default: the
    // system's roots and the peer's host name.
    tlsSocket->setSslConfiguration(QSslConfiguration::defaultConfiguration());
    return true;
}

void SocketControl::HandshakeDone() {
    tlsPending = false;
    check.Checked = true;
    check.Fingerprint = QString::fromLatin1(
        tlsSocket->peerCertificate().digest(QCryptographicHash::Sha256).toHex());
    check.Subject = tlsSocket->peerCertificate().subjectDisplayName();
    // With a pin, a certificate that passes the usual verification is still not that one.
    if (!pinned.isEmpty() && check.Fingerprint != pinned) {
        Refuse(TlsProblem::NotPinned);
        return;
    }
    check.Problem = TlsProblem::None;
    state = sckConnected;
}

void SocketControl::Refuse(TlsProblem problem) {
    if (check.Problem == TlsProblem::None)
        check.Problem = problem;
    tlsPending = false;
    state = sckError;
    if (socket)
        socket->abort();
}

bool SocketControl::SendData(const QString& sText) {
    return SendBytes(ToCodePage932(sText));
}

bool SocketControl::SendBytes(const QByteArray& bytes) {
    if (state != sckConnected)
        return false;
    if (socket->write(bytes) != bytes.size())
        return false;
    // Out at once, not at the next turn of the event loop: each command waits for its reply.
    socket->flush();
    return true;
}

qint64 SocketControl::BytesToWrite() const {
    if (!socket)
        return 0;
    return socket->bytesToWrite() + (tlsSocket ? tlsSocket->encryptedBytesToWrite() : 0);
}

bool SocketControl::GetData(QString& retText) {
    QByteArray bytes = incomplete + (socket ? socket->readAll() : QByteArray());
    retText = FromCodePage932(bytes, incomplete);
    return true;
}

bool SocketControl::GetBytes(QByteArray& retBytes) {
    retBytes = incomplete + (socket ? socket->readAll() : QByteArray());
    incomplete.clear();
    return true;
}

void SocketControl::Close() {
    // Closed before the abort, so that the disconnect it causes raises no close event.
    state = sckClosed;
    tlsPending = false;
    if (socket)
        socket->abort();
    incomplete.clear();
}
