// An IMAP account against a private Dovecot and aiosmtpd on 127.0.0.1, with the test camera:
//
//   vistrel_bench_imap latency [REQUESTS]   (50 by default)
//       The push holds INBOX in IDLE, ticked once a second as the main window ticks it, and
//       runs the check when it asks for one. Requests are delivered one after another, each
//       once the reply to the one before has come; prints the median and the worst time from
//       a delivery to its reply stored by the SMTP server.
//   vistrel_bench_imap settled [RUNS]       (20 by default)
//       A check of a folder of 10,000 answered messages, taking turns with Python's imaplib
//       doing SELECT, UID SEARCH UNANSWERED and LOGOUT after its login (imaplib_check.py,
//       timed inside Python); prints the median of each and the mean of our steps.
//   vistrel_bench_imap idle [SECONDS]       (600 by default)
//       The push alone holding IDLE on an empty folder; prints the share of a core this
//       process used and its resident memory and open descriptors at the start and the end.
//
// Exit status 1 when a set-up failed or a request was not answered exactly once.
#include "log/WriteLog.h"
#include "mailcheck/IMAPPush.h"
#include "mailcheck/modMailCheck.h"
#include "platform/SocketControl.h"
#include "settings/ProgramObjects.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/LogLines.h"
#include "tests/support/ProcessUsage.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCameraStill.h"
#include "tests/support/TestMailAccount.h"
#include "tests/support/WiredClients.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <sys/resource.h>

namespace {

const QString Requester = QStringLiteral("bob@example.net");
constexpr int SettledMessages = 10000;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Pumps events until condition holds or ms pass; whether it holds.
bool PumpFor(int ms, const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

// The push of the main window: ticked once a second, its check run at once when asked.
struct HeldPush {
    explicit HeldPush(const CMailAccount& account) : account(account) {
        QObject::connect(&look, &QTimer::timeout, [this] { push.Tick(this->account); });
        look.start(1000);
        push.Tick(account);
    }
    ~HeldPush() { push.Stop(); }

    CMailAccount account;
    SocketControl sock;
    int checks = 0;
    IMAPPush push{sock, [this] {
                      ++checks;
                      RunMailCheck(account);
                      return true;
                  }};
    QTimer look;
};

int Latency(DovecotServer& imap, SmtpServer& smtp, int requests) {
    TestCameraStill camera;
    if (!camera.Running()) {
        std::fprintf(stderr, "no camera\n");
        return 1;
    }
    HeldPush held(CurrentMailAccount);
    if (!PumpFor(10000, [&] { return held.push.Holding() && held.checks == 1; })) {
        std::fprintf(stderr, "the push does not hold IDLE\n");
        return 1;
    }
    std::vector<double> seconds;
    for (int i = 0; i < requests; ++i) {
        QElapsedTimer sinceDelivery;
        sinceDelivery.start();
        imap.Deliver(QStringLiteral("camera"), "From: " + Requester.toLatin1() +
                                                   "\r\nTo: cam@example.com\r\nSubject: CAM " +
                                                   QByteArray::number(i) + "\r\n\r\nplease\r\n");
        if (!PumpFor(30000, [&] { return smtp.Mails(Requester).size() == size_t(i + 1); })) {
            std::fprintf(stderr, "request %d was not answered within 30 s\n", i);
            return 1;
        }
        seconds.push_back(double(sinceDelivery.nsecsElapsed()) / 1e9);
    }
    // A quiet second more: nothing is answered twice.
    PumpFor(1500, [] { return false; });
    std::printf("latency from delivery to the stored reply over %d requests: median %.3f s, "
                "worst %.3f s (%d checks, %zu replies)\n",
                requests, Median(seconds), *std::max_element(seconds.begin(), seconds.end()),
                held.checks, smtp.Mails(Requester).size());
    return smtp.Mails(Requester).size() == size_t(requests) ? 0 : 1;
}

// One run of imaplib_check.py: the seconds it took, timed inside Python; negative on a failure.
double ImaplibRun(const DovecotServer& imap) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(VISTREL_SOURCE_DIR "/bench/imaplib_check.py"),
                  QStringLiteral("127.0.0.1"), QString::number(imap.ImapPort()),
                  QStringLiteral("camera"), QStringLiteral("campass"), QStringLiteral("1")});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        std::fprintf(stderr, "imaplib_check.py failed: %s\n",
                     python.readAllStandardError().constData());
        return -1;
    }
    const QJsonArray times = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    return times.isEmpty() ? -1 : times[0].toDouble();
}

int Settled(const ScratchProgramFolder& folder, DovecotServer& imap, int runs) {
    for (int i = 0; i < SettledMessages; ++i)
        imap.Deliver(QStringLiteral("camera"),
                     "From: " + Requester.toLatin1() + "\r\nSubject: CAM " + QByteArray::number(i) +
                         "\r\n\r\nanswered\r\n",
                     "RS");
    // The first look builds the server's indexes; neither side is timed on it. Dovecot reads
    // a Maildir folder changed within the last second again at each SELECT: both sides start
    // once that second is over.
    RunMailCheck(CurrentMailAccount);
    QThread::sleep(2);
    // Where the time goes, read off the check's own log lines as they are written: each line
    // starts the step named beside it.
    const std::vector<std::pair<QString, const char*>> steps = {
        {QStringLiteral("接続しています..."), "connect and greeting"},
        {QStringLiteral("接続しました"), "login"},
        {QStringLiteral("ログインしました"), "SELECT"},
        {QStringLiteral("フォルダ INBOX を選択しました"), "UID SEARCH"},
        {QStringLiteral("メールはありませんでした"), "LOGOUT"}};
    std::map<QString, double> spent;
    QElapsedTimer timer;
    QString step;
    double since = 0;
    const InformationSink previous = SetInformationSink([&](const QString& text) {
        const double now = double(timer.nsecsElapsed()) / 1e6;
        spent[step] += now - since;
        since = now;
        step = text.mid(text.indexOf(QStringLiteral("  ")) + 2);
    });
    // The two take turns, so that other work on the machine weighs on both alike.
    std::vector<double> ours, theirs;
    for (int run = 0; run < runs; ++run) {
        timer.start();
        since = 0;
        step.clear();
        RunMailCheck(CurrentMailAccount);
        ours.push_back(double(timer.nsecsElapsed()) / 1e9);
        spent[step] += ours.back() * 1000 - since;
        theirs.push_back(ImaplibRun(imap));
        if (theirs.back() < 0)
            return 1;
    }
    SetInformationSink(previous);
    // Each check got as far as the search and found nothing to answer.
    if (LoggedMessages(folder).count(QStringLiteral("メールはありませんでした")) != runs + 1) {
        std::fprintf(stderr, "a check did not search the folder\n");
        return 1;
    }
    std::printf("check of %d answered messages, median of %d: ours %.1f ms, imaplib "
                "(login, SELECT, UID SEARCH UNANSWERED, LOGOUT) %.1f ms\n",
                SettledMessages, runs, Median(ours) * 1000, Median(theirs) * 1000);
    std::printf("ours by step, mean ms:");
    for (const auto& [line, name] : steps)
        std::printf(" %s %.1f;", name, spent[line] / runs);
    std::printf("\n");
    return 0;
}

int Idle(int seconds) {
    HeldPush held(CurrentMailAccount);
    if (!PumpFor(10000, [&] { return held.push.Holding(); })) {
        std::fprintf(stderr, "the push does not hold IDLE\n");
        return 1;
    }
    PumpFor(2000, [] { return false; }); // the first check's traces settle
    const double rssBefore = ResidentMegabytes();
    const int fdsBefore = OpenDescriptors();
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // The event loop as the program runs it: asleep until a timer or the socket wakes it.
    QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("IDLE held for %.0f s: %.4f %% of a core (%.3f s of CPU), resident %.1f -> "
                "%.1f MB, descriptors %d -> %d, still holding: %s\n",
                double(wall.elapsed()) / 1000, 100 * cpu / (double(wall.elapsed()) / 1000), cpu,
                rssBefore, ResidentMegabytes(), fdsBefore, OpenDescriptors(),
                held.push.Holding() ? "yes" : "no");
    return held.push.Holding() ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char* mode = argc > 1 ? argv[1] : "latency";
    const int count = argc > 2 ? std::max(1, atoi(argv[2])) : 0;
    ScratchProgramFolder folder;
    DovecotServer imap;
    SmtpServer smtp;
    QString problem;
    imap.OfferImap();
    if (!folder.CopyBuiltLibraries() || !imap.Start({{"camera", "campass"}}, problem) ||
        !smtp.Start(problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    WiredProgramClients clients;
    UseTestMailAccount(imap.ImapPort(), smtp.Port(), {Requester});
    CurrentMailAccount.MailProtocol = ProtocolIMAP;
    DeleteAfterReply = false;
    if (std::strcmp(mode, "latency") == 0)
        return Latency(imap, smtp, count > 0 ? count : 50);
    if (std::strcmp(mode, "settled") == 0)
        return Settled(folder, imap, count > 0 ? count : 20);
    if (std::strcmp(mode, "idle") == 0)
        return Idle(count > 0 ? count : 600);
    std::fprintf(stderr, "usage: vistrel_bench_imap [latency|settled|idle] [COUNT]\n");
    return 1;
}
