#include "reply/CSMTP.h"

// The SMTP dialogue is still to come: the client only binds its socket and keeps what arrives.
void CSMTP::Init(SocketControl& sockControl) { sock = &sockControl; }

void CSMTP::Notify_DataArrival(const QString& text) { sRecvBuffer += text; }

CSMTP& SMTPClient() {
    static CSMTP client;
    return client;
}
