// The mail check against a private Dovecot and aiosmtpd on 127.0.0.1, each beside its Python
// yardstick in the same run: a check of a mailbox of 10,000 seen messages against poplib's
// STAT, UIDL and QUIT; a check that answers 50 requests against poplib, Pillow and smtplib
// doing the same steps, both taking the still from a file, with the time per request split
// by the check's own log lines; an empty mailbox with USER/PASS and with APOP; and the wait
// for the camera's next frame, which the two answering runs leave out.
#include "capture/modCapture.h"
#include "log/WriteLog.h"
#include "mailcheck/CPOP3.h"
#include "mailcheck/modMailCheck.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TestCaptureDriver.h"
#include "settings/ProgramObjects.h"
#include "tests/support/BitmapSamples.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/WiredClients.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

const QString Own = QStringLiteral("cam@example.com");
const QString Requester = QStringLiteral("bob@example.net");
constexpr int SeenMessages = 10000;
constexpr int Requests = 50;

struct Bench {
    ScratchProgramFolder folder;
    DovecotServer pop;
    SmtpServer smtp;
    WiredProgramClients clients;
    QString still;
};
std::unique_ptr<Bench> bench;

CMailAccount Account(const QString& user, int apop = 0) {
    CMailAccount account = CurrentMailAccount;
    account.UserName = user;
    account.Password = QStringLiteral("secret");
    account.APOP = apop;
    return account;
}

// The yardstick's times of count runs, or empty when it failed.
QJsonArray RunPython(const QStringList& arguments) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(VISTREL_SOURCE_DIR "/bench/poplib_check.py")} +
                     arguments);
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

QStringList ServerArguments(const QString& mode, const QString& user) {
    return {mode, QStringLiteral("127.0.0.1"), QString::number(bench->pop.Port()), user,
            QStringLiteral("secret")};
}

void BM_CheckOf10000SeenMessages(benchmark::State& state) {
    const CMailAccount account = Account(QStringLiteral("seen"));
    for (auto _ : state)
        RunMailCheck(account);
    state.counters["seen"] = double(ReceivedUidlList ? ReceivedUidlList->size() : 0);
}
BENCHMARK(BM_CheckOf10000SeenMessages)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PoplibStatUidlQuit(benchmark::State& state) {
    const QJsonArray times = RunPython(ServerArguments(QStringLiteral("list"), "seen") +
                                       QStringList{QString::number(state.max_iterations)});
    if (times.isEmpty()) {
        state.SkipWithError("poplib_check.py failed");
        return;
    }
    qsizetype i = 0;
    for (auto _ : state)
        state.SetIterationTime(times[i++].toDouble());
}
BENCHMARK(BM_PoplibStatUidlQuit)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

void DeliverRequests() {
    for (int i = 0; i < Requests; ++i)
        bench->pop.Deliver(QStringLiteral("requests"),
                           QByteArray("From: Bob <bob@example.net>\r\nTo: cam@example.com\r\n"
                                      "Subject: CAM ") +
                               QByteArray::number(i) + "\r\n\r\nplease\r\n");
}

// Where the time of one answered request goes, read off the log lines as they are written.
class PhaseClock {
  public:
    PhaseClock() {
        timer.start();
        previous = SetInformationSink([this](const QString& text) {
            const qint64 now = timer.nsecsElapsed();
            spent[phase] += now - since;
            since = now;
            phase = text.mid(text.indexOf(QStringLiteral("  ")) + 2);
        });
    }
    ~PhaseClock() { SetInformationSink(std::move(previous)); }
    // Milliseconds spent after the line message until the next line.
    double Ms(const char* message) const {
        const auto found = spent.find(QString::fromUtf8(message));
        return found == spent.end() ? 0 : double(found->second) / 1e6;
    }

  private:
    QElapsedTimer timer;
    InformationSink previous;
    std::map<QString, qint64> spent;
    QString phase;
    qint64 since = 0;
};

void BM_CheckAnswering50Requests(benchmark::State& state) {
    const CMailAccount account = Account(QStringLiteral("requests"));
    const StillCapture previous =
        SetStillCapture([](const QString& path) { QFile::copy(bench->still, path); });
    DeleteAfterReply = true;
    const size_t before = bench->smtp.Mails(Requester).size();
    PhaseClock phases;
    for (auto _ : state) {
        state.PauseTiming();
        DeliverRequests();
        ReceivedUidlList.reset();
        state.ResumeTiming();
        RunMailCheck(account);
    }
    const double answered = double(bench->smtp.Mails(Requester).size() - before);
    if (answered != double(Requests * state.iterations()))
        state.SkipWithError("not every request was answered");
    state.counters["ms_capture_per_request"] = phases.Ms("キャプチャしています") / answered;
    state.counters["ms_compose_per_request"] = phases.Ms("メールの作成をしています...") / answered;
    state.counters["ms_send_per_request"] = phases.Ms("メールを送信しています...") / answered;
    state.counters["ms_delete_per_request"] = phases.Ms("メールを送信しました") / answered;
    SetStillCapture(previous);
    DeleteAfterReply = false;
}
BENCHMARK(BM_CheckAnswering50Requests)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PythonAnswering50Requests(benchmark::State& state) {
    const size_t before = bench->smtp.Mails(Requester).size();
    for (auto _ : state) {
        DeliverRequests();
        const QJsonArray times = RunPython(
            ServerArguments(QStringLiteral("answer"), "requests") +
            QStringList{"1", bench->still, QString::number(bench->smtp.Port()), Own, "CAM", "160"});
        if (times.isEmpty()) {
            state.SkipWithError("poplib_check.py failed");
            return;
        }
        state.SetIterationTime(times[0].toDouble());
    }
    if (bench->smtp.Mails(Requester).size() - before != size_t(Requests * state.iterations()))
        state.SkipWithError("not every request was answered");
}
BENCHMARK(BM_PythonAnswering50Requests)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseManualTime();

void BM_EmptyMailbox(benchmark::State& state) {
    const CMailAccount account = Account(QStringLiteral("empty"), int(state.range(0)));
    for (auto _ : state)
        RunMailCheck(account);
    state.SetLabel(state.range(0) ? "APOP" : "USER/PASS");
}
BENCHMARK(BM_EmptyMailbox)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

// One still from the test camera at 60 frames a second: mostly the wait for its next frame.
void BM_CaptureStillFromTheCamera(benchmark::State& state) {
    SetCaptureDriversForTest({std::make_shared<TestCaptureDriver>("test camera", "1.0",
                                                                  std::vector<QSize>{{640, 480}})});
    PictureBox host, still;
    host.resize(640, 480);
    if (!CreateCapture(0, &host, 60)) {
        state.SkipWithError("no camera");
        return;
    }
    const QString path = TempFolder() + QStringLiteral("/capture.bmp");
    for (auto _ : state)
        CaptureToFile(path, &still);
    DestroyCapture();
    SetCaptureDriversForTest({});
}
BENCHMARK(BM_CaptureStillFromTheCamera)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench = std::make_unique<Bench>();
    QString problem;
    if (!bench->folder.CopyBuiltLibraries() ||
        !bench->pop.Start({{"seen", "secret"}, {"empty", "secret"}, {"requests", "secret"}},
                          problem) ||
        !bench->smtp.Start(problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    bench->still = bench->folder.Path() + QStringLiteral("/still.bmp");
    bench->folder.Write(QStringLiteral("still.bmp"), MakeBitmap(640, 480));
    for (int i = 0; i < SeenMessages; ++i)
        bench->pop.Deliver(QStringLiteral("seen"),
                           QByteArray("From: a@example.com\r\nSubject: old ") +
                               QByteArray::number(i) + "\r\n\r\nx\r\n");
    CurrentMailAccount.Name = QStringLiteral("bench");
    CurrentMailAccount.MailAddr = Own;
    CurrentMailAccount.POPHost = CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
    CurrentMailAccount.POPPort = bench->pop.Port();
    CurrentMailAccount.SMTPPort = bench->smtp.Port();
    CurrentMailAccount.Timeout = 60;
    CResAccount setting;
    setting.Name = QStringLiteral("bench");
    setting.ReductionWidth = 160;
    setting.JPEGCompression = 1;
    setting.vAcceptedMailAddrs = QStringList{Requester};
    ResponseSettings = {setting};
    AcceptedLeftSubject = QStringLiteral("CAM");
    // Every message of the big mailbox is seen before its benchmark.
    QString challenge;
    QStringList uidls;
    POP3Client().TimeoutSecond(60);
    if (!POP3Client().Connect(QStringLiteral("127.0.0.1"), bench->pop.Port(), challenge) ||
        !POP3Client().Login(QStringLiteral("seen"), QStringLiteral("secret")) ||
        !POP3Client().CMD_UIDL(uidls, 0)) {
        std::fprintf(stderr, "set-up failed: no UIDL list\n");
        return 1;
    }
    POP3Client().Quit();
    uidls.removeAll(QString());
    ReceivedUidlList = uidls;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench.reset();
    return 0;
}
