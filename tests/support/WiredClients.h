#pragma once
// Both protocol clients on socket controls of their own, routed by the main window's own
// routing and bound as start-up binds them. For the tests of programs that link mailcheck/.
#include "mailcheck/CIMAP.h"
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

// The program's own clients, POP3Client(), IMAPClient() and SMTPClient(), bound and routed as
// start-up binds them, for tests of code that uses them (the reply sender). On leaving, the clients
// are bound to a closed control of the test program's, so that none keeps a dangling one.
struct WiredProgramClients {
    WiredProgramClients() {
        POP3Client().Init(sckPOP);
        IMAPClient().Init(sckIMAP);
        SMTPClient().Init(sckSMTP);
    }
    ~WiredProgramClients() {
        static SocketControl parked;
        POP3Client().Init(parked);
        IMAPClient().Init(parked);
        SMTPClient().Init(parked);
    }
    WiredProgramClients(const WiredProgramClients&) = delete;
    WiredProgramClients& operator=(const WiredProgramClients&) = delete;

    SocketControl sckPOP;
    SocketControl sckSMTP;
    SocketControl sckIMAP;
    SocketRouting routing{sckPOP, POP3Client(), sckSMTP, SMTPClient()};
    IMAPRouting imapRouting{sckIMAP, IMAPClient()};
};
