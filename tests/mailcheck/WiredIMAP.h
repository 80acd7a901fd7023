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

// The UIDs that a second client, logged in as the test account "camera", finds in INBOX on
// the IMAP server at nPort with sCriteria: what every mail program of the account sees. A
// step that fails gives {0}, a UID no message has, so that every expectation on it fails.
inline QList<quint32> SecondClientSearch(int nPort, const QByteArray& sCriteria) {
    WiredIMAP other;
    QList<quint32> uids;
    const bool found = other.Connect(nPort) &&
                       other.imap.Login(QStringLiteral("camera"), QStringLiteral("campass")) &&
                       other.imap.Select(QStringLiteral("INBOX")) &&
                       other.imap.UidSearch(sCriteria, uids);
    return found ? uids : QList<quint32>{0};
}
