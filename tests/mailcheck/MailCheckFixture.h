#pragma once
// A mail check against the real Dovecot and aiosmtpd with the test camera, for the tests of
// what the check does when the network or the disk fails it: one check at a time, its log
// lines, the replies the server stored and the requests left in the mailbox.
#include "mailcheck/modMailCheck.h"
#include "reply/ReplyImageSteps.h"
#include "settings/ProgramObjects.h"
#include "tests/reply/ReplyFixture.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/LogLines.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"
#include "tests/support/TlsMailServers.h"
#include "tests/support/WiredClients.h"

#include <functional>
#include <string>
#include <utility>

inline const QString Own = QStringLiteral("cam@example.com");
inline const QString Bob = QStringLiteral("bob@example.net");
inline const QString Sending = QStringLiteral("メールを送信しています...");
inline const QString Sent = QStringLiteral("メールを送信しました");
inline const QString Deleted = QStringLiteral("メールを削除しました");
inline const QString ComposeFailed = QStringLiteral("メールの作成に失敗しました");
inline const QString SendFailed = QStringLiteral("メールの送信に失敗しました");
inline const QString PopLost = QStringLiteral("サーバーとの接続が切れました");

inline std::string Shown(const QStringList& lines) {
    return (u'\n' + lines.join(u'\n')).toStdString();
}

// A request "CAM subject" from from, with toLine (none when empty) as its To line.
inline QByteArray Request(const QByteArray& subject, const QString& from = Bob,
                          const QByteArray& toLine = "To: " + Own.toLatin1()) {
    return "From: " + from.toLatin1() + "\r\n" + (toLine.isEmpty() ? "" : toLine + "\r\n") +
           "Subject: CAM " + subject + "\r\n\r\nplease\r\n";
}

class MailCheckFaults : public ReplyFixture {
  protected:
    void SetUp() override {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed";
        ReplyFixture::SetUp();
        QString problem;
        ASSERT_TRUE(StartServers(problem)) << problem.toStdString();
        UseTestMailAccount(pop.Port(), smtp.Port(), {Bob});
        // The still goes out at full size, so that each file of the reply is large enough
        // for a file-size limit to fall between them.
        ResponseSettings[0].DoReduction = 0;
        CurrentMailAccount.Timeout = 10;
        DeleteAfterReply = true;
        SetStillCapture([this](const QString& path) {
            if (const auto hook = std::exchange(captureHook, nullptr))
                hook(path);
            else
                WriteStill(path);
        });
    }
    void TearDown() override {
        SetStillCapture({});
        ResetProgramObjects();
    }
    virtual bool StartServers(QString& retProblem) {
        return pop.Start({{"camera", "campass"}}, retProblem) && smtp.Start(retProblem);
    }

    // One check; its log lines after the opening two.
    QStringList Check() {
        const qsizetype before = LoggedMessages(folder).size();
        RunMailCheck(CurrentMailAccount);
        return LoggedMessages(folder).mid(before + 2);
    }
    int Replies(const QString& requester = Bob) const {
        return static_cast<int>(smtp.Mails(requester).size());
    }
    int Stored() const { return pop.StoredCount(QStringLiteral("camera")); }
    qsizetype RuleEntries() const { return ReceivedUidlList ? ReceivedUidlList->size() : 0; }

    // After a failed check: the next one answers the request once and deletes it, and the
    // one after finds nothing.
    void ExpectAnsweredOnceLater(const char* what, int repliesBefore, bool sentAlready) {
        const QStringList lines = Check();
        EXPECT_EQ(lines.count(Sent), sentAlready ? 0 : 1) << what << Shown(lines);
        EXPECT_EQ(lines.count(Deleted), 1) << what << Shown(lines);
        EXPECT_EQ(Replies(), repliesBefore + 1) << what;
        EXPECT_EQ(Stored(), 0) << what;
        EXPECT_EQ(Check().mid(4), QStringList{"メールはありませんでした"}) << what;
        EXPECT_EQ(Replies(), repliesBefore + 1) << what;
    }

    DovecotServer pop;
    SmtpServer smtp;
    WiredProgramClients clients;
    static void WriteStill(const QString& path) { WriteWholeFile(path, MakeBitmap(640, 480)); }

    // Takes the place of the camera once, at the next capture.
    std::function<void(const QString& path)> captureHook;
};

// Both servers offer TLS: STLS and TLS from the start for POP3, STARTTLS for SMTP.
class MailCheckFaultsOverTls : public MailCheckFaults {
  protected:
    bool StartServers(QString& retProblem) override {
        SmtpServer::Offer offer;
        offer.Tls = QStringLiteral("starttls");
        return StartTlsMailServers(certificates, pop, {{"camera", "campass"}}, smtp, offer,
                                   retProblem);
    }

    TestCertificates certificates;
};
