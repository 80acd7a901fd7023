// The mail check on each hostile request mail of the tests (tests/support/HostileRequests),
// each followed by a good request, against a private Dovecot and aiosmtpd with the test
// camera, beside a check of a good request alone: per case the time of the whole check, the
// growth of the peak resident memory over the memory before it (the heap trimmed and the
// peak reset before each check), the log bytes it wrote and the replies it sent. Exits 1
// when a case was not answered as the test expects.
//
//   vistrel_bench_hostile
#include "mailcheck/modMailCheck.h"
#include "settings/ProgramObjects.h"
#include "tests/support/AnsweringCamera.h"
#include "tests/support/HostileRequests.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <malloc.h>

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

// Gives the freed heap back to the system, so that the memory a case needs shows as growth
// rather than as the reuse of what an earlier case left, then sets the peak resident memory
// back to the current one (Linux 4.0 and later).
bool ResetPeakMemory() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AnsweringCamera bench;
    bench.pop.ReuseXUidl();
    QString problem;
    if (!bench.Start({Requester}, problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    DovecotServer& pop = bench.pop;
    SmtpServer& smtp = bench.smtp;

    // A first check of a good request alone, so that the figures leave out the first use of
    // the camera, the codecs and the connections.
    pop.Deliver(QStringLiteral("camera"), GoodRequest("CAM warm-up"));
    RunMailCheck(CurrentMailAccount);
    std::printf("%-46s %9s %14s %10s %s\n", "case", "check ms", "peak RSS +MB", "log bytes",
                "answered");
    // One check of what was delivered; false when it did not send `replies` replies.
    const auto measure = [&](const char* name, size_t replies) {
        const size_t repliesBefore = smtp.Mails(Requester).size();
        const qint64 logBytes = bench.folder.Read(QStringLiteral("options/main.log")).size();
        const bool reset = ResetPeakMemory();
        const double before = StatusMegabytes("VmRSS");
        QElapsedTimer timer;
        timer.start();
        RunMailCheck(CurrentMailAccount);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double peak = StatusMegabytes("VmHWM");
        const size_t answered = smtp.Mails(Requester).size() - repliesBefore;
        std::printf("%-46s %9.1f %14.1f %10lld %zu%s\n", name, ms, peak - before,
                    bench.folder.Read(QStringLiteral("options/main.log")).size() - logBytes,
                    answered, answered == replies ? "" : " (UNEXPECTED)");
        return reset && answered == replies;
    };
    // The yardstick: a good request alone.
    pop.Deliver(QStringLiteral("camera"), GoodRequest("CAM alone"));
    bool sound = measure("a good request alone", 1);
    int good = 0;
    for (const HostileRequest& hostile : HostileRequests()) {
        pop.Deliver(QStringLiteral("camera"), hostile.Message);
        pop.Deliver(QStringLiteral("camera"),
                    GoodRequest("CAM good " + QByteArray::number(++good)));
        sound = measure(hostile.Name, hostile.Answered ? 2 : 1) && sound;
    }
    std::printf("%s\n", sound ? "all as expected" : "NOT as expected");
    return sound ? 0 : 1;
}
