#pragma once
// A camera that answers requests end to end, for the bench programs: a scratch program folder
// with the built libraries, a private Dovecot and aiosmtpd on 127.0.0.1, the program's own
// clients wired as start-up wires them, the test camera and the test mail account. Made after
// the QApplication.
#include "tests/support/DovecotServer.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCameraStill.h"
#include "tests/support/TestMailAccount.h"
#include "tests/support/WiredClients.h"

struct AnsweringCamera {
    // Starts the servers and the camera and sets up the account for requesters; false, with
    // the reason in retProblem, when something did not come up.
    bool Start(const QStringList& requesters, QString& retProblem) {
        if (!folder.CopyBuiltLibraries() || !pop.Start({{"camera", "campass"}}, retProblem) ||
            !smtp.Start(retProblem))
            return false;
        if (!camera.Running()) {
            retProblem = QStringLiteral("no camera");
            return false;
        }
        UseTestMailAccount(pop.Port(), smtp.Port(), requesters);
        return true;
    }

    ScratchProgramFolder folder;
    DovecotServer pop; // options such as ReuseXUidl go before Start
    SmtpServer smtp;
    WiredProgramClients clients;
    TestCameraStill camera;
};
