#pragma once
// The routing of the two socket controls' events to the protocol clients. The main window
// owns one; tests that drive a client without the window own their own, so both run the same
// handlers.
#include <QString>
#include <QtGlobal>
#include <functional>

class CIMAP;
class CPOP3;
class CSMTP;
class SocketControl;

// Reads every pending byte as text when sock is connected; false, reading nothing, otherwise
// (data that arrives with or after the peer's close stays unread).
bool ReadArrivedData(SocketControl& sock, QString& retText);

class SocketRouting {
  public:
    // Installs the four handlers on the socket controls; the controls and the clients must
    // outlive the routing.
    SocketRouting(SocketControl& sckPOP, CPOP3& pop, SocketControl& sckSMTP, CSMTP& smtp);
    SocketRouting(const SocketRouting&) = delete;
    SocketRouting& operator=(const SocketRouting&) = delete;

    // Arrived data, read while connected, goes to the client's Notify_DataArrival.
    void sckPOP_DataArrival(qint64 bytesTotal);
    void sckSMTP_DataArrival(qint64 bytesTotal);
    // The peer's close closes the control.
    void sckPOP_Close();
    void sckSMTP_Close();

  private:
    SocketControl& sckPOP;
    CPOP3& pop;
    SocketControl& sckSMTP;
    CSMTP& smtp;
};

// The routing of an IMAP client's socket control: arrived bytes, read while connected, go to
// the client's Notify_DataArrival as they are (IMAP counts octets); the peer's close closes
// the control. afterData, when set, runs after each delivery (the push's look at IDLE).
class IMAPRouting {
  public:
    IMAPRouting(SocketControl& sck, CIMAP& imap, std::function<void()> afterData = {});
    IMAPRouting(const IMAPRouting&) = delete;
    IMAPRouting& operator=(const IMAPRouting&) = delete;

    void sck_DataArrival(qint64 bytesTotal);
    void sck_Close();

  private:
    SocketControl& sck;
    CIMAP& imap;
    std::function<void()> afterData;
};
