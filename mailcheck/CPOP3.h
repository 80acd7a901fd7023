#pragma once
// The POP3 client that reads the mailbox over the main window's socket control.
#include <QString>

class SocketControl;

class CPOP3 {
  public:
    // Binds the client to its socket control (owned by the main window).
    void Init(SocketControl& sock);
    // Called from the socket's data event with the text just read.
    void Notify_DataArrival(const QString& text);

  private:
    SocketControl* sock = nullptr;
    QString sRecvBuffer;
};

// The program's one POP3 client.
CPOP3& POP3Client();
