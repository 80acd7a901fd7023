#pragma once
// A POP3 client on a socket control of its own, routed as the main window routes sckPOP.
#include "mailcheck/CPOP3.h"
#include "platform/SocketControl.h"
#include "tests/support/SocketWiring.h"

struct WiredPOP3 {
    WiredPOP3() {
        RouteSocket(sock, [this](const QString& text) { pop.Notify_DataArrival(text); });
        pop.Init(sock);
    }
    bool Connect(int nPort, QString& retChallenge) {
        return pop.Connect(QStringLiteral("127.0.0.1"), nPort, retChallenge);
    }

    SocketControl sock;
    CPOP3 pop;
};
