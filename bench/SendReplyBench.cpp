// The reply sender against a private aiosmtpd on 127.0.0.1: SendReplyFile of a 1 MB reply,
// and Python's smtplib sending the same file to the same server in the same run; then the CPU
// that a client uses while it waits on a server that never answers.
#include "platform/ProgramFolder.h"
#include "reply/CSMTP.h"
#include "reply/modSendMail.h"
#include "settings/ProgramObjects.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/WiredClients.h"
#include "textenc/modConvBase64.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

namespace {

const QString Own = QStringLiteral("cam@example.com");
const QString Requester = QStringLiteral("bob@example.net");

// Everything the sender needs, set up once for all benchmarks.
struct Bench {
    ScratchProgramFolder folder;
    SmtpServer server;
    WiredProgramClients clients;
    QString reply;
};
std::unique_ptr<Bench> bench;

// A reply of about 1 MB: the composer's layout around 768 KiB of seeded random "image".
bool WriteReply(const QString& path) {
    QByteArray image(768 * 1024, '\0');
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32*>(image.data()), image.size() / 4);
    CResAccount setting;
    setting.SendMail_Subject = QString::fromUtf8("カメラの画像です");
    setting.SendMail_Body = QString::fromUtf8("ご依頼の写真をお送りします。");
    QString text;
    return MakeReplyText(setting, Own, Requester,
                         WrapLines(QString::fromLatin1(EncodeBase64(image)), 76), text) &&
           WriteTextFile(path, text);
}

void BM_SendReplyFile(benchmark::State& state) {
    for (auto _ : state)
        if (SendReplyFile(CurrentMailAccount, Requester) != SendOutcome::Sent) {
            state.SkipWithError("SendReplyFile failed");
            return;
        }
    state.counters["reply_bytes"] = double(QFile(bench->reply).size());
}
BENCHMARK(BM_SendReplyFile)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PythonSmtplib(benchmark::State& state) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(VISTREL_SOURCE_DIR "/bench/smtplib_send.py"),
                  QStringLiteral("127.0.0.1"), QString::number(bench->server.Port()), bench->reply,
                  Own, Requester, QString::number(state.max_iterations)});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        state.SkipWithError("smtplib_send.py failed");
        return;
    }
    const QJsonArray times = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    qsizetype i = 0;
    for (auto _ : state)
        state.SetIterationTime(times[i++].toDouble());
}
BENCHMARK(BM_PythonSmtplib)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// One wait of 3 s on a server that accepted the connection and says nothing.
void BM_WaitOnSilentServer(benchmark::State& state) {
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        ScriptedServer silent({});
        CSMTP& smtp = SMTPClient();
        smtp.SetTimeout(3);
        if (!smtp.Connect(QStringLiteral("127.0.0.1"), silent.Port())) {
            state.SkipWithError("no connection");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = ProcessCpuSeconds();
        smtp.Sendmail(Own, Requester, QString(), QString());
        cpu += ProcessCpuSeconds() - cpuStart;
        wall += double(timer.nsecsElapsed()) / 1e9;
    }
    state.counters["cpu_percent_of_a_core"] = 100 * cpu / wall;
}
BENCHMARK(BM_WaitOnSilentServer)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench = std::make_unique<Bench>();
    QString problem;
    bench->reply = TempFolder() + QStringLiteral("/new.eml");
    if (!WriteReply(bench->reply) || !bench->server.Start(problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    CurrentMailAccount.MailAddr = Own;
    CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
    CurrentMailAccount.SMTPPort = bench->server.Port();
    CurrentMailAccount.Timeout = 30;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench.reset();
    return 0;
}
