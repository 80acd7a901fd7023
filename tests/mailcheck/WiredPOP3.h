#pragma once
// The POP3 client on a socket control of its own, routed as the main window routes sckPOP.
#include "tests/support/WiredClients.h"

struct WiredPOP3 : WiredClients {
    bool Connect(int nPort, QString& retChallenge) {
        return pop.Connect(QStringLiteral("127.0.0.1"), nPort, retChallenge);
    }

    SocketControl& sock = sckPOP;
};
