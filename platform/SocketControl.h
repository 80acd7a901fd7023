#pragma once
// The socket control: one TCP connection driven by its owner's calls, with its events raised
// while the GUI thread pumps events. Text crosses it as code page 932 bytes.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

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

    // Starts connecting and returns at once; State() tells how it goes.
    void Connect(const QString& sHost, int nPort);
    // Sends text as code page 932 bytes; false when the socket is not connected.
    bool SendData(const QString& sText);
    // Takes every byte received so far as text (a double-byte character cut in two by the
    // network waits for its second half).
    bool GetData(QString& retText);
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
    QTcpSocket* socket;
    int state = sckClosed;
    QByteArray incomplete;
};
