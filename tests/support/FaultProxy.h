#pragma once
// A loopback proxy in front of a real server that drops its first connection at a chosen
// point of the dialogue, as a failing network would: the client's side is closed after what
// was let through, the server's side is cut off at once. Or, as a slow network would, it holds
// the server's answer to that point back for a while and then lets it through. Later
// connections pass through untouched, until the proxy is armed again for the next one. It
// runs on the test's thread, so it moves only while the client under test (or a test that
// waits for a client process) pumps events.
#include <QByteArray>
#include <QTcpServer>
#include <memory>
#include <vector>

class QTcpSocket;

// Where the first connection is dropped, found by the first place where the client's bytes
// hold text.
struct FaultPoint {
    QByteArray text;
    // Negative: text and what follows it never reach the server. Otherwise text reaches the
    // server, and this many bytes of what the server sends after it reach the client.
    int replyBytes = -1;
    // More than 0: nothing is dropped; what the server sends after text reaches the client
    // this many milliseconds late.
    int delayMs = 0;
    // More than 0: nothing is dropped; what the client sends after text reaches the server
    // at this many bytes a second, as over a slow uplink.
    int uploadBytesPerSecond = 0;
};

// The drop just before the client sends text.
FaultPoint DropBefore(const QByteArray& text);
// The drop after text was sent and bytes of the server's answer came back.
FaultPoint DropInReplyTo(const QByteArray& text, int bytes);
// The server's answer to text, and all it sends after, ms milliseconds late.
FaultPoint DelayReplyTo(const QByteArray& text, int ms);
// What the client sends after text, at bytesPerSecond.
FaultPoint SlowUploadAfter(const QByteArray& text, int bytesPerSecond);

class FaultProxy {
  public:
    FaultProxy(int serverPort, FaultPoint fault);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    int Port() const { return listener.serverPort(); }
    // Whether the armed connection has been dropped, its answer held back or its upload slowed.
    bool Dropped() const { return dropped; }
    // The next connection meets fault (none when its text is empty); the ones before it pass
    // through from now on.
    void ArmNext(FaultPoint next);

  private:
    struct Link;
    void Accept();
    void FromClient(Link& link);
    void FromServer(Link& link);
    void Drop(Link& link);
    // Passes bytes on to the client, the link's delay late.
    void ToClient(Link& link, const QByteArray& bytes);
    // Passes the client's held bytes on to the server, a tenth of a second's worth at a time.
    void Upload(Link& link);

    int serverPort;
    FaultPoint fault;  // of the next connection
    bool armed = true; // the next connection meets fault
    bool dropped = false;
    QTcpServer listener;
    std::vector<std::unique_ptr<Link>> links;
};
