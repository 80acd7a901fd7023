#pragma once
// Both protocol clients on socket controls of their own, routed by the main window's own
// routing and bound as start-up binds them. For the tests of programs that link mailcheck/.
#include "mailcheck/CPOP3.h"
#include "mailcheck/SocketRouting.h"
#include "platform/SocketControl.h"
#include "reply/CSMTP.h"

struct WiredClients {
    WiredClients() {
        pop.Init(sckPOP);
        smtp.Init(sckSMTP);
    }

    SocketControl sckPOP;
    SocketControl sckSMTP;
    CPOP3 pop;
    CSMTP smtp;
    SocketRouting routing{sckPOP, pop, sckSMTP, smtp};
};
