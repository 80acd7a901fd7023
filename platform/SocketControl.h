#pragma once
// The socket control: one TCP connection driven by its owner's calls, with its events raised
// while the GUI thread pumps events. Text crosses it as code page 932 bytes. The connection can
// run in TLS from the start or be upgraded to it; the peer's certificate is checked against
// the system's trusted roots and the host name, or accepted by its pinned fingerprint.
#include "platform/TlsCheck.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSslSocket;
class QTcpSocket;

class SocketControl : public QObject {
    Q_OBJECT
  public:
    // The classic state values; State() answers one of them.
    enum StateValue {
        sckClosed = 0,
        sckOpen = 1,
        sckListening = 2,
        sckConnectionPending = 3,
        sckResolvingHost = 4,
        sckHostResolved = 5,
        sckConnecting = 6,
        sckConnected = 7,
        sckClosing = 8,
        sckError = 9
    };

    explicit SocketControl(QObject* parent = nullptr);
    ~SocketControl() override;

    // Starts connecting and returns at once; State() tells how it goes. tlsLater: StartTls
    // may follow. Without it the connection stays plain (StartTls answers false), and a
    // control that never uses TLS never loads the TLS library.
    void Connect(const QString& sHost, int nPort, bool tlsLater = false);
    // As Connect, in TLS from the first byte: the state becomes connected only once the
    // handshake is done and the certificate passed (TlsCheck). sPinned: the SHA-256
    // fingerprint that alone is accepted (as NormalizedFingerprint reads it), or empty for the
    // usual verification. A pin that is not empty but cannot be read connects nowhere: the
    // state becomes the error state at once, with the problem UnreadablePin.
    void ConnectTls(const QString& sHost, int nPort, const QString& sPinned);
    // Upgrades the open connection to TLS, as ConnectTls checks it: the state is connecting
    // until the handshake is done, then connected, or the error state when it failed (at once
    // for a pin that cannot be read, the connection dropped). Every byte received before, taken
    // by GetData or not, is dropped: nothing sent in plain text is read after the handshake.
    // False, doing nothing, when the connection is not open, already in TLS, or was opened
    // by Connect without tlsLater.
    bool StartTls(const QString& sPinned);
    // True while the connection runs in TLS.
    bool IsEncrypted() const;
    // The certificate check of the latest handshake (empty before one).
    const TlsCheck& Certificate() const { return check; }

    // Sends text as code page 932 bytes; false when the socket is not connected.
    bool SendData(const QString& sText);
    // Sends bytes as they are, for a protocol that counts octets; false when not connected.
    bool SendBytes(const QByteArray& bytes);
    // Bytes handed to SendData that the connection has not yet taken (in TLS: not yet
    // encrypted and written); 0 once everything has gone out to the network.
    qint64 BytesToWrite() const;
    // Takes every byte received so far as text (a double-byte character cut in two by the
    // network waits for its second half).
    bool GetData(QString& retText);
    // Takes every byte received so far as it is.
    bool GetBytes(QByteArray& retBytes);
    // Drops the connection at once; the state becomes closed. Harmless when already closed.
    void Close();
    int State() const { return state; }
    // Closed, closing or failed: no connection can come of the control any more, so a wait
    // for one ends at once.
    bool IsDown() const { return state == sckError || state == sckClosed || state == sckClosing; }

    // Raised with the number of bytes waiting, and when the peer has closed the connection.
    std::function<void(qint64 bytesTotal)> onDataArrival;
    std::function<void()> onClose;

  private:
    void Prepare(bool tls);
    bool PrepareTls(const QString& sPinned);
    void HandshakeDone();
    void Refuse(TlsProblem problem);

    QTcpSocket* socket = nullptr;    // none before the first connection
    QSslSocket* tlsSocket = nullptr; // socket, when it is TLS-capable
    int state = sckClosed;
    bool tlsPending = false; // a handshake is running: connected only when it is done
    QString pinned;
    TlsCheck check;
    QByteArray incomplete;
};
