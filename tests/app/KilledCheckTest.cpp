// The program killed (SIGKILL) in the middle of a mail check and started again: a child
// process runs the real check with the settings of a program folder, the test camera, a
// private Dovecot holding three requests and aiosmtpd, and is killed at a moment the SMTP
// server or the program's own files show. After the restart every request is answered
// exactly once, and every settings file still loads whole. Over IMAP the child is killed
// between a reply's 250 and its \Answered flag.
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "settings/RuleFile.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"

#include <QDir>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

namespace {

const QStringList Requesters = {"bob@example.net", "alice@example.org", "carol@example.com"};

// The files that the program keeps in options/; anything else is a leftover.
const QStringList OptionsFiles = {"001.csp", "main.log", "main.mla", "main.opt", "main.rul"};

// How the test finds the moment to kill the child.
enum class Moment {
    Held,      // the SMTP server holds the reply it was told to
    RuleWrite, // the child stopped itself before it replaces main.rul for the nth time
};

struct KillCase {
    const char* what;
    Moment moment;
    QString hold; // the SMTP server's hold, "rcpt" or "data"
    int n;        // the message whose reply is held, or the rule file write
};

// The settings as the program keeps them: three requesters accepted by one response setting.
void WriteSettings(int smtpPort, int popPort, int protocol = ProtocolPOP3) {
    ResetProgramObjects();
    UseTestMailAccount(popPort, smtpPort, Requesters);
    CurrentMailAccount.MailProtocol = protocol;
    SaveAllSettings();
    ResetProgramObjects();
}

void DeliverRequests(DovecotServer& pop) {
    for (int i = 0; i < Requesters.size(); ++i)
        ASSERT_TRUE(pop.Deliver("camera", "From: " + Requesters[i].toLatin1() +
                                              "\r\nTo: cam@example.com\r\nSubject: CAM " +
                                              QByteArray::number(i) + "\r\n\r\nplease\r\n"));
}

class Child {
  public:
    explicit Child(const ScratchProgramFolder& folder, const QStringList& extra = {}) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VISTREL_CHECK_CHILD), QStringList{folder.Path()} + extra);
        process.waitForStarted(10000);
    }
    // Waits for the end of the check; its exit status, or -1 when it did not end.
    int Finish() {
        if (process.state() != QProcess::NotRunning && !process.waitForFinished(120000))
            return -1;
        if (process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }
    void Kill() {
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished(10000);
    }
    bool Running() const { return process.state() == QProcess::Running; }
    QProcess process;
};

} // namespace

TEST(KilledCheck, EveryRequestIsAnsweredOnceAfterARestart) {
    if (DovecotServer::Program().isEmpty())
        GTEST_SKIP() << "dovecot is not installed";
    const std::vector<KillCase> cases = {
        {"the first reply is stored, its 250 not yet sent", Moment::Held, "data", 1},
        {"as the rule file is replaced for the first reply", Moment::RuleWrite, "", 1},
        {"as the rule file is replaced for the second reply", Moment::RuleWrite, "", 2},
        {"in the middle of the second send, RCPT unanswered", Moment::Held, "rcpt", 2},
        {"the second reply is stored, its 250 not yet sent", Moment::Held, "data", 2},
    };
    for (const KillCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchProgramFolder folder;
        DovecotServer pop;
        SmtpServer smtp;
        SmtpServer::Offer offer;
        offer.Hold = c.hold;
        offer.HoldMessage = c.n;
        QString problem;
        ASSERT_TRUE(folder.CopyBuiltLibraries());
        ASSERT_TRUE(pop.Start({{"camera", "campass"}}, problem)) << problem.toStdString();
        ASSERT_TRUE(smtp.StartOffering(problem, offer)) << problem.toStdString();
        WriteSettings(smtp.Port(), pop.Port());
        DeliverRequests(pop);

        Child first(folder, c.moment == Moment::RuleWrite
                                ? QStringList{"stop-at-rule-write", QString::number(c.n)}
                                : QStringList());
        const auto reached = [&] {
            if (c.moment == Moment::Held)
                return smtp.Holding();
            return first.process.canReadLine() && first.process.readLine().startsWith("rule write");
        };
        ASSERT_TRUE(PumpUntil([&] { return reached() || !first.Running(); }, 60000));
        ASSERT_TRUE(first.Running()) << "the check ended before the moment came";
        first.Kill();

        // Nothing stands in for a settings file, and the rule file reads whole.
        EXPECT_EQ(QDir(folder.Path() + "/options").entryList(QDir::Files, QDir::Name),
                  OptionsFiles);
        std::optional<QStringList> list;
        EXPECT_TRUE(LoadRuleFile(folder.Path() + "/options/main.rul", list));
        EXPECT_LE(list.value_or(QStringList()).size(), 2);

        // The restart loads every settings file without a complaint and answers the rest;
        // one more check answers nothing.
        for (int run = 0; run < 2; ++run)
            EXPECT_EQ(Child(folder).Finish(), 0) << "run " << run;
        for (const QString& requester : Requesters)
            EXPECT_EQ(smtp.Mails(requester).size(), 1u) << requester.toStdString();
        EXPECT_TRUE(LoadRuleFile(folder.Path() + "/options/main.rul", list));
        EXPECT_EQ(list.value_or(QStringList()).size(), 3);
    }
}

TEST(KilledCheck, AnIMAPRequestKilledBeforeItsFlagIsAnsweredOnceAfterARestart) {
    if (DovecotServer::Program().isEmpty())
        GTEST_SKIP() << "dovecot is not installed";
    ScratchProgramFolder folder;
    DovecotServer imap;
    SmtpServer smtp;
    imap.OfferImap();
    QString problem;
    ASSERT_TRUE(folder.CopyBuiltLibraries());
    ASSERT_TRUE(imap.Start({{"camera", "campass"}}, problem)) << problem.toStdString();
    ASSERT_TRUE(smtp.Start(problem)) << problem.toStdString();
    // What the child sends after its first header fetch crawls to the server: the next command
    // is the flag of the first request, once its reply has its 250.
    FaultProxy proxy(imap.ImapPort(), SlowUploadAfter("BODY.PEEK[HEADER])\r\n", 10));
    WriteSettings(smtp.Port(), proxy.Port(), ProtocolIMAP);
    DeliverRequests(imap);

    Child first(folder);
    ASSERT_TRUE(PumpUntil([&] { return proxy.Dropped() || !first.Running(); }, 60000));
    ASSERT_TRUE(first.Running()) << "the check ended before the flag";
    first.Kill();
    EXPECT_EQ(smtp.Mails(Requesters[0]).size(), 1u);
    std::optional<QStringList> list;
    EXPECT_TRUE(LoadRuleFile(folder.Path() + "/options/main.rul", list));
    EXPECT_EQ(list.value_or(QStringList()).size(), 1);

    // The restart flags the first request without a second reply and answers the others;
    // once all carry the flag, nothing is kept locally. The proxy moves while this waits.
    for (int run = 0; run < 2; ++run) {
        Child again(folder);
        EXPECT_TRUE(PumpUntil([&] { return !again.Running(); }, 120000)) << "run " << run;
        EXPECT_EQ(again.Finish(), 0) << "run " << run;
    }
    for (const QString& requester : Requesters)
        EXPECT_EQ(smtp.Mails(requester).size(), 1u) << requester.toStdString();
    EXPECT_TRUE(LoadRuleFile(folder.Path() + "/options/main.rul", list));
    EXPECT_EQ(list.value_or(QStringList()), QStringList());
}
