// The mail check on each hostile request mail of the tests (tests/support/HostileRequests),
// each followed by a good request, against a private Dovecot and aiosmtpd with the test
// camera: per case the time of the whole check and the growth of the peak resident memory
// over the memory before it (the peak is reset before each check), the log bytes it wrote, and
// whether both were answered as the test expects. Exits 1 when one was not.
//
//   vistrel_bench_hostile
#include "mailcheck/modMailCheck.h"
#include "settings/ProgramObjects.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/HostileRequests.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCameraStill.h"
#include "tests/support/WiredClients.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

const QString Requester = QStringLiteral("bob@example.net");

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 when it cannot be read.
double StatusMegabytes(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// Sets the peak resident memory back to the current one (Linux 4.0 and later).
bool ResetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScratchProgramFolder folder;
    DovecotServer pop;
    SmtpServer smtp;
    QString problem;
    pop.ReuseXUidl();
    if (!folder.CopyBuiltLibraries() || !pop.Start({{"camera", "secret"}}, problem) ||
        !smtp.Start(problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    WiredProgramClients clients;
    TestCameraStill camera;
    if (!camera.Running()) {
        std::fprintf(stderr, "set-up failed: no camera\n");
        return 1;
    }
    CurrentMailAccount.Name = QStringLiteral("bench");
    CurrentMailAccount.MailAddr = QStringLiteral("cam@example.com");
    CurrentMailAccount.POPHost = CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
    CurrentMailAccount.POPPort = pop.Port();
    CurrentMailAccount.SMTPPort = smtp.Port();
    CurrentMailAccount.UserName = QStringLiteral("camera");
    CurrentMailAccount.Password = QStringLiteral("secret");
    CurrentMailAccount.Timeout = 30;
    CResAccount setting;
    setting.Name = QStringLiteral("bench");
    setting.ReductionWidth = 160;
    setting.vAcceptedMailAddrs = QStringList{Requester};
    ResponseSettings = {setting};
    AcceptedLeftSubject = QStringLiteral("CAM");

    // A first check of a good request alone, so that the figures leave out the first use of
    // the camera, the codecs and the connections.
    pop.Deliver(QStringLiteral("camera"), GoodRequest("CAM warm-up"));
    RunMailCheck(CurrentMailAccount);
    std::printf("%-46s %9s %14s %10s %s\n", "case", "check ms", "peak RSS +MB", "log bytes",
                "answered");
    bool sound = true;
    int good = 0;
    for (const HostileRequest& hostile : HostileRequests()) {
        pop.Deliver(QStringLiteral("camera"), hostile.Message);
        pop.Deliver(QStringLiteral("camera"),
                    GoodRequest("CAM good " + QByteArray::number(++good)));
        const size_t replies = smtp.Mails(Requester).size();
        const qint64 logBytes = folder.Read(QStringLiteral("options/main.log")).size();
        const bool reset = ResetPeakMemory();
        const double before = StatusMegabytes("VmRSS");
        QElapsedTimer timer;
        timer.start();
        RunMailCheck(CurrentMailAccount);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double peak = StatusMegabytes("VmHWM");
        const size_t answered = smtp.Mails(Requester).size() - replies;
        const bool expected = answered == (hostile.Answered ? 2u : 1u);
        sound = sound && expected && reset;
        std::printf("%-46s %9.1f %14.1f %10lld %zu%s\n", hostile.Name, ms, peak - before,
                    folder.Read(QStringLiteral("options/main.log")).size() - logBytes, answered,
                    expected ? "" : " (UNEXPECTED)");
    }
    std::printf("%s\n", sound ? "all as expected" : "NOT as expected");
    return sound ? 0 : 1;
}
