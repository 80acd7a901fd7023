// A soak of the mail check: many consecutive checks through the program's own code against a
// private Dovecot and aiosmtpd, with the test camera as the camera. Each check carries 0 to 3
// requests, chosen at random from a fixed seed. It prints the time per check, the resident
// memory and the open descriptors after the tenth and the last check, and fails (exit 1) when
// a request was not answered exactly once, the memory grew by more than 5 MB, a descriptor
// leaked, or temp/ held more than the last reply between two checks.
//
//   vistrel_soak_mailcheck [CHECKS]     (300 by default)
#include "mailcheck/modMailCheck.h"
#include "platform/ProgramFolder.h"
#include "settings/ProgramObjects.h"
#include "tests/support/AnsweringCamera.h"
#include "tests/support/ProcessUsage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <cstdio>
#include <random>

namespace {

const QString Requester = QStringLiteral("bob@example.net");

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int checks = argc > 1 ? std::max(10, atoi(argv[1])) : 300;
    AnsweringCamera bench;
    QString problem;
    if (!bench.Start({Requester}, problem)) {
        std::fprintf(stderr, "set-up failed: %s\n", qPrintable(problem));
        return 1;
    }
    DovecotServer& pop = bench.pop;
    SmtpServer& smtp = bench.smtp;
    DeleteAfterReply = true;

    std::mt19937 random(20261209);
    int requests = 0;
    double rssAfterTenth = 0;
    int fdsAfterTenth = 0;
    bool tempStayedSmall = true;
    QElapsedTimer timer;
    qint64 totalNs = 0;
    for (int check = 1; check <= checks; ++check) {
        const int count = int(random() % 4);
        for (int i = 0; i < count; ++i, ++requests)
            pop.Deliver(QStringLiteral("camera"),
                        "From: Bob <bob@example.net>\r\nTo: cam@example.com\r\nSubject: CAM " +
                            QByteArray::number(requests) + "\r\n\r\nplease\r\n");
        timer.start();
        RunMailCheck(CurrentMailAccount);
        totalNs += timer.nsecsElapsed();
        // Between two checks temp/ holds at most the last reply.
        const QStringList temp = QDir(TempFolder()).entryList(QDir::Files);
        if (temp.size() > 1 || (temp.size() == 1 && temp[0] != QStringLiteral("new.eml")))
            tempStayedSmall = false;
        if (check == 10) {
            rssAfterTenth = ResidentMegabytes();
            fdsAfterTenth = OpenDescriptors();
        }
    }
    const double rssAtEnd = ResidentMegabytes();
    const int fdsAtEnd = OpenDescriptors();

    // Every request answered exactly once: one reply per subject number.
    const std::vector<SmtpServer::StoredMail> replies = smtp.Mails(Requester);
    const int left = pop.StoredCount(QStringLiteral("camera"));
    std::printf("checks %d, requests %d, replies %zu, left on the server %d\n", checks, requests,
                replies.size(), left);
    std::printf("time per check %.1f ms\n", double(totalNs) / 1e6 / checks);
    std::printf("resident memory after check 10: %.1f MB, after check %d: %.1f MB\n", rssAfterTenth,
                checks, rssAtEnd);
    std::printf("open descriptors after check 10: %d, after check %d: %d\n", fdsAfterTenth, checks,
                fdsAtEnd);
    std::printf("temp/ held only the last reply between checks: %s\n",
                tempStayedSmall ? "yes" : "no");
    const bool sound = int(replies.size()) == requests && left == 0 &&
                       rssAtEnd - rssAfterTenth <= 5 && fdsAtEnd <= fdsAfterTenth &&
                       tempStayedSmall;
    std::printf("%s\n", sound ? "soak passed" : "soak FAILED");
    return sound ? 0 : 1;
}
