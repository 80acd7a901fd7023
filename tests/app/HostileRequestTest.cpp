// Hostile request mails in a real Dovecot mailbox, each followed by a good request: the check
// ends, logs what became of the hostile one in lines of bounded length, answers it only when
// it is a request of an accepted sender, and answers the good one exactly once.
#include "log/WriteLog.h"
#include "mailcheck/modMailCheck.h"
#include "settings/ProgramObjects.h"
#include "tests/reply/ReplyFixture.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/HostileRequests.h"
#include "tests/support/LogLines.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCameraStill.h"
#include "tests/support/TestMailAccount.h"
#include "tests/support/WiredClients.h"

namespace {

const QString Bob = QStringLiteral("bob@example.net");
const QString Sent = QStringLiteral("メールを送信しました");
// The longest line a logged message can make: the cut text and the length after it.
constexpr qsizetype LongestLogMessage = MaxLogMessageLength + 16;

class HostileRequestCheck : public ReplyFixture {
  protected:
    void SetUp() override {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed";
        ReplyFixture::SetUp();
        QString problem;
        pop.ReuseXUidl();
        ASSERT_TRUE(pop.Start({{"camera", "campass"}}, problem)) << problem.toStdString();
        ASSERT_TRUE(smtp.Start(problem)) << problem.toStdString();
        ASSERT_TRUE(camera.Running());
        ResetProgramObjects();
        UseTestMailAccount(pop.Port(), smtp.Port(), {Bob});
    }
    void TearDown() override { ResetProgramObjects(); }

    // Runs one check and answers its log lines.
    QStringList Check() {
        const qsizetype before = LoggedMessages(folder).size();
        RunMailCheck(CurrentMailAccount);
        return LoggedMessages(folder).mid(before);
    }

    DovecotServer pop;
    SmtpServer smtp;
    WiredProgramClients clients;
    TestCameraStill camera;
};

} // namespace

TEST_F(HostileRequestCheck, EachIsSettledAndTheGoodRequestAfterItIsAnsweredOnce) {
    int good = 0;
    for (const HostileRequest& hostile : HostileRequests()) {
        SCOPED_TRACE(hostile.Name);
        const QByteArray goodSubject = "CAM good " + QByteArray::number(++good);
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), hostile.Message));
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), GoodRequest(goodSubject)));
        const size_t repliesBefore = smtp.Mails(Bob).size();
        const qint64 logBefore = folder.Read(QStringLiteral("options/main.log")).size();

        const QStringList lines = Check();
        // The hostile one's fate is told before the good request is read.
        const qsizetype verdict = lines.indexOf(hostile.Verdict);
        const qsizetype goodLine = lines.indexOf("Subject: " + QString::fromLatin1(goodSubject));
        EXPECT_GE(verdict, 0) << lines.join(u'\n').left(4000).toStdString();
        EXPECT_GT(goodLine, verdict);
        EXPECT_EQ(lines.last(), Sent);
        EXPECT_EQ(lines.count(Sent), hostile.Answered ? 2 : 1);
        for (const QString& line : lines)
            EXPECT_LE(line.size(), LongestLogMessage) << line.left(80).toStdString();
        EXPECT_LT(folder.Read(QStringLiteral("options/main.log")).size() - logBefore,
                  16 * LongestLogMessage);
        if (!hostile.Uidl.isEmpty()) {
            EXPECT_TRUE(ReceivedUidlList->contains(QString::fromLatin1(hostile.Uidl)));
        }

        // Each new reply is sound to Python's email package and went to bob.
        const std::vector<SmtpServer::StoredMail> replies = smtp.Mails(Bob);
        ASSERT_EQ(replies.size(), repliesBefore + (hostile.Answered ? 2 : 1));
        for (size_t i = repliesBefore; i < replies.size(); ++i) {
            const QString stored = folder.Path() + QStringLiteral("/stored.eml");
            WriteWholeFile(stored, replies[i].Message);
            ExpectSoundReply(stored, QByteArray(), QString::fromUtf8("写真です\n"), "JPEG", 160,
                             120);
            EXPECT_EQ(Probe(stored).json["to"].toString(), Bob);
        }

        // A second check finds nothing new.
        const QStringList again = Check();
        EXPECT_EQ(again.count(Sent), 0) << again.join(u'\n').left(4000).toStdString();
        EXPECT_EQ(smtp.Mails(Bob).size(), replies.size());
    }
}
