// One mail check as the program runs it, in a process of its own that a test can kill: the
// settings loaded from the program folder as at start-up, the test camera as the camera, one
// RunMailCheck, then the end without saving anything more.
//
//   vistrel_check_child PROGRAM_FOLDER [stop-at-rule-write N]
//
// With stop-at-rule-write the process prints "rule write" and stops itself (SIGSTOP) as it
// is about to replace options/main.rul for the Nth time, so that the test kills it there. Exit
// status: 0 after the check, 2 when the settings did not load whole (a message box would have
// opened).
#include "mailcheck/modMailCheck.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "settings/modFileAccess.h"
#include "tests/support/TestCameraStill.h"
#include "tests/support/WiredClients.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc < 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetProgramFolder(QString::fromLocal8Bit(argv[1]));
    bool damaged = false;
    SetMsgBoxHandler([&damaged](const MsgBoxRequest&) {
        damaged = true;
        return MsgAnswer::OK;
    });
    if (!LoadAllSettings() || damaged)
        return 2;
    int writesLeft =
        argc > 3 && std::strcmp(argv[2], "stop-at-rule-write") == 0 ? std::atoi(argv[3]) : 0;
    if (writesLeft > 0)
        SetSaveTextFileCheck([&writesLeft](const QString& path) {
            if (path.endsWith(QStringLiteral("/main.rul")) && --writesLeft == 0) {
                std::puts("rule write");
                std::fflush(stdout);
                std::raise(SIGSTOP);
            }
            return true;
        });
    WiredProgramClients clients;
    TestCameraStill camera;
    if (!camera.Running())
        return 3;
    RunMailCheck(CurrentMailAccount);
    return 0;
}
