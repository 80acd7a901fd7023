#pragma once
// The routing of the two socket controls' events to the protocol clients. The main window
// owns one; tests that drive a client without the window own their own, so both run the same
// handlers.
#include <QString>
#include <QtGlobal>

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
