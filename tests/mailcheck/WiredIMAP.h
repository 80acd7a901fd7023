#pragma once
// An IMAP client on a socket control of its own, routed as the main window routes its IMAP
// control.
#include "mailcheck/CIMAP.h"
#include "mailcheck/SocketRouting.h"
#include "platform/SocketControl.h"

struct WiredIMAP {
    WiredIMAP() { imap.Init(sock); }
    bool Connect(int nPort, int nSecurity = 0) {
        imap.Security(nSecurity, QString());
        return imap.Connect(QStringLiteral("127.0.0.1"), nPort);
    }

    SocketControl sock;
    CIMAP imap;
    IMAPRouting routing{sock, imap};
};
