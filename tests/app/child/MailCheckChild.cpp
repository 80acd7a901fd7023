// One mail check as the program runs it, in a process of its own that a test can kill: the
// settings loaded from the program folder as at start-up, the test camera as the camera, one
// RunMailCheck, then the end without saving anything more.
//
//   vistrel_check_child PROGRAM_FOLDER [stop-at-rule-write N | serve TIMEOUT]
//
// With stop-at-rule-write the process prints "rule write" and stops itself (SIGSTOP) as it
// is about to replace options/main.rul for the Nth time, so that the test kills it there.
// With serve it runs a check, with the time-out TIMEOUT seconds and DeleteAfterReply on, for
// each line "check" on standard input, and answers each with "done RSS_MB DESCRIPTORS", until
// the input ends. Exit status: 0 after the check(s), 2 when the settings did not load whole (a
// message box would have opened).
#include "mailcheck/modMailCheck.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "settings/modFileAccess.h"
#include "tests/support/ProcessUsage.h"
#include "tests/support/TestCameraStill.h"
#include "tests/support/WiredClients.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

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
    if (argc < 4 || std::strcmp(argv[2], "serve") != 0) {
        RunMailCheck(CurrentMailAccount);
        return 0;
    }
    CurrentMailAccount.Timeout = std::atoi(argv[3]);
    DeleteAfterReply = true;
    for (std::string line; std::getline(std::cin, line);) {
        if (line != "check")
            continue;
        RunMailCheck(CurrentMailAccount);
        std::printf("done %.1f %d\n", ResidentMegabytes(), OpenDescriptors());
        std::fflush(stdout);
    }
    return 0;
}
