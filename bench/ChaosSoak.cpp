// A chaos soak of the mail check: many checks of the program's own code, run by a child
// process (vistrel_check_child serve) against a private Dovecot and aiosmtpd, through proxies
// that, from a fixed seed, hold an answer back around the one-second time-out, drop the
// connection at any step of POP3 or SMTP, or let the check be killed (SIGKILL) at a random
// moment (in the second half), after which the child starts again. Each check brings 0 to 3
// requests, each from a sender of its own, so that a reply to the wrong request shows. After the
// faulty checks a few sound ones answer what is left. It fails (exit 1) unless every request was
// answered exactly once, or at most once where a kill or a fault came after a message could have
// gone out whole (those losses are counted and printed, with those of them that left the server),
// and the child's memory and descriptors stayed flat over its longest life. A request that a
// killed check had recorded stays on the server unanswered: a new process does not know to
// delete it.
//
//   vistrel_soak_chaos [CHECKS] [SEED]     (200 checks by default)
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <csignal>
#include <cstdio>
#include <map>
#include <random>

namespace {

// Every sender a soak may use; request n comes from Sender(n).
constexpr int MaxRequests = 1000;

QString Sender(int n) {
    return QStringLiteral("r%1@example.net").arg(n);
}

enum class Fault { None, PopDelay, PopDrop, SmtpDelay, SmtpDrop, Kill };

const char* const FaultNames[] = {"none",      "POP3 late", "POP3 drop",
                                  "SMTP late", "SMTP drop", "kill"};

// The child that runs the checks; started again after a kill.
class Checker {
  public:
    explicit Checker(const QString& folder) : folder(folder) { Start(); }
    ~Checker() {
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            process.kill();
    }
    // One check; false when killAfterMs (>= 0) came first and the child was killed.
    bool Check(int killAfterMs) {
        process.write("check\n");
        QElapsedTimer timer;
        timer.start();
        const bool done = PumpUntil(
            [&] {
                if (killAfterMs >= 0 && timer.elapsed() >= killAfterMs)
                    return true;
                return process.canReadLine() || process.state() != QProcess::Running;
            },
            120000);
        if (done && process.canReadLine()) {
            const QList<QByteArray> fields = process.readLine().trimmed().split(' ');
            ++checksThisLife;
            if (fields.size() == 3) {
                if (checksThisLife == 10) {
                    rssAfterTenth = fields[1].toDouble();
                    fdsAfterTenth = fields[2].toInt();
                }
                rssNow = fields[1].toDouble();
                fdsNow = fields[2].toInt();
                if (checksThisLife >= 10 && checksThisLife > longestLife) {
                    longestLife = checksThisLife;
                    growth = rssNow - rssAfterTenth;
                    leaked = fdsNow - fdsAfterTenth;
                }
            }
            return true;
        }
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished(10000);
        Start();
        return false;
    }

    int longestLife = 0; // in checks, counted from ten on
    double growth = 0;   // MB between the tenth and the last check of the longest life
    int leaked = 0;      // descriptors, the same

  private:
    void Start() {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VISTREL_CHECK_CHILD), {folder, "serve", "1"});
        process.waitForStarted(10000);
        checksThisLife = 0;
    }
    QString folder;
    QProcess process;
    int checksThisLife = 0;
    double rssAfterTenth = 0, rssNow = 0;
    int fdsAfterTenth = 0, fdsNow = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int checks = argc > 1 ? std::max(10, atoi(argv[1])) : 200;
    const unsigned seed = argc > 2 ? unsigned(atoi(argv[2])) : 20261209u;
    ScratchProgramFolder folder;
    DovecotServer pop;
    SmtpServer smtp;
    QString problem;
    if (!folder.CopyBuiltLibraries() || !pop.Start({{"camera", "campass"}}, problem) ||
        !smtp.Start(problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    FaultProxy popProxy(pop.Port(), {});
    FaultProxy smtpProxy(smtp.Port(), {});
    QStringList senders;
    for (int n = 0; n < MaxRequests; ++n)
        senders << Sender(n);
    UseTestMailAccount(popProxy.Port(), smtpProxy.Port(), senders);
    if (!SaveAllSettings()) {
        std::fprintf(stderr, "set-up failed: the settings were not saved\n");
        return 1;
    }

    std::mt19937 random(seed);
    const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    const std::vector<QByteArray> popSteps = {"STAT\r\n", "UIDL\r\n", "TOP ", "DELE ", "QUIT\r\n"};
    const std::vector<QByteArray> smtpSteps = {"HELO ", "MAIL FROM", "RCPT TO", "DATA\r\n",
                                               "\r\n.\r\n"};
    Checker checker(folder.Path());
    int requests = 0;
    // Checks whose fault could lose a reply that went out whole: a kill, or an SMTP fault at
    // the message.
    int lossy = 0;
    int kills = 0; // kills that came before the check ended
    std::map<Fault, int> faults;
    QElapsedTimer timer;
    timer.start();
    const int drain = 5;
    for (int check = 1; check <= checks + drain; ++check) {
        const bool faulty = check <= checks;
        for (int i = pick(4); faulty && i > 0 && requests < MaxRequests; --i, ++requests)
            pop.Deliver(QStringLiteral("camera"), "From: " + Sender(requests).toLatin1() +
                                                      "\r\nTo: cam@example.com\r\nSubject: CAM " +
                                                      QByteArray::number(requests) +
                                                      "\r\n\r\nplease\r\n");
        // No kill in the first half, so that one life of the child is long enough to show
        // whether memory or descriptors grow.
        Fault fault = faulty ? Fault(pick(6)) : Fault::None;
        if (fault == Fault::Kill && check <= checks / 2)
            fault = Fault::None;
        ++faults[fault];
        // Late is around the time-out of one second: sometimes in time, mostly not.
        const int late = 300 + pick(1700);
        const auto step = [&](const std::vector<QByteArray>& steps) {
            return steps[size_t(pick(int(steps.size())))];
        };
        popProxy.ArmNext(fault == Fault::PopDelay  ? DelayReplyTo(step(popSteps), late)
                         : fault == Fault::PopDrop ? DropInReplyTo(step(popSteps), pick(8))
                                                   : FaultPoint{});
        const QByteArray smtpStep = step(smtpSteps);
        smtpProxy.ArmNext(fault == Fault::SmtpDelay  ? DelayReplyTo(smtpStep, late)
                          : fault == Fault::SmtpDrop ? DropBefore(smtpStep)
                                                     : FaultPoint{});
        const bool killed = !checker.Check(fault == Fault::Kill ? 10 + pick(400) : -1);
        kills += killed ? 1 : 0;
        if (killed ||
            ((fault == Fault::SmtpDelay || fault == Fault::SmtpDrop) && smtpStep == "\r\n.\r\n"))
            ++lossy;
    }
    const double seconds = double(timer.elapsed()) / 1000;

    // Each request's replies, by its sender; and the requests still on the server.
    QSet<int> kept;
    for (const QByteArray& message : pop.Stored(QStringLiteral("camera")))
        if (message.startsWith("From: r"))
            kept.insert(message.mid(7, message.indexOf('@') - 7).toInt());
    int once = 0, twice = 0, lost = 0, deletedUnanswered = 0;
    for (int n = 0; n < requests; ++n) {
        const size_t replies = smtp.Mails(Sender(n)).size();
        (replies == 1 ? once : replies == 0 ? lost : twice) += 1;
        if (replies == 0 && !kept.contains(n))
            ++deletedUnanswered;
    }
    std::printf("checks %d (+%d sound), seed %u, %.1f s, %.2f s per check\n", checks, drain, seed,
                seconds, seconds / (checks + drain));
    for (const auto& [fault, count] : faults)
        std::printf("  %-10s %d\n", FaultNames[int(fault)], count);
    std::printf("  (%d of the kills came before the check ended)\n", kills);
    std::printf("requests %d: answered once %d, twice or more %d, not answered %d "
                "(checks that could lose one: %d), of which deleted %d; left on the server %d\n",
                requests, once, twice, lost, lossy, deletedUnanswered, int(kept.size()));
    std::printf("longest life of the checking process %d checks: memory %+.1f MB and "
                "descriptors %+d from its tenth check to its last\n",
                checker.longestLife, checker.growth, checker.leaked);
    const bool flat = checker.longestLife >= 10 && checker.growth <= 5 && checker.leaked <= 0;
    const bool sound = twice == 0 && lost <= lossy && flat;
    std::printf("%s\n", sound ? "chaos soak passed" : "chaos soak FAILED");
    return sound ? 0 : 1;
}
