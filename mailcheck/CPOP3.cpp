#include "mailcheck/CPOP3.h"

// The POP3 dialogue is still to come: the client only binds its socket and keeps what arrives.
void CPOP3::Init(SocketControl& sockControl) { sock = &sockControl; }

void CPOP3::Notify_DataArrival(const QString& text) { sRecvBuffer += text; }

CPOP3& POP3Client() {
    static CPOP3 client;
    return client;
}
