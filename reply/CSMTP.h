#pragma once
// The SMTP client that sends reply mails over the main window's socket control.
#include <QString>

class SocketControl;

class CSMTP {
  public:
    // Binds the client to its socket control (owned by the main window).
    void Init(SocketControl& sock);
    // Called from the socket's data event with the text just read.
    void Notify_DataArrival(const QString& text);

  private:
    SocketControl* sock = nullptr;
    QString sRecvBuffer;
};

// The program's one SMTP client, created on first use.
CSMTP& SMTPClient();
