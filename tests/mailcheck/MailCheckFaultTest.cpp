// The mail check when the network or the disk fails it: a proxy in front of the real Dovecot or
// aiosmtpd drops the connection at each step of the dialogue, and a file size limit (a full
// disk) or a temp/ that is no folder fails each file the reply needs. Each time the log says
// what failed, nothing partial is sent, nothing is deleted that was not answered, and the
// request is answered exactly once at a later check.
#include "mailcheck/modMailCheck.h"
#include "reply/ReplyImageSteps.h"
#include "settings/ProgramObjects.h"
#include "tests/reply/ReplyFixture.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LogLines.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"
#include "tests/support/TlsMailServers.h"
#include "tests/support/WiredClients.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace {

const QString Own = QStringLiteral("cam@example.com");
const QString Bob = QStringLiteral("bob@example.net");
const QString Sending = QStringLiteral("メールを送信しています...");
const QString Sent = QStringLiteral("メールを送信しました");
const QString Deleted = QStringLiteral("メールを削除しました");
const QString ComposeFailed = QStringLiteral("メールの作成に失敗しました");
const QString SendFailed = QStringLiteral("メールの送信に失敗しました");
const QString PopLost = QStringLiteral("サーバーとの接続が切れました");

std::string Shown(const QStringList& lines) {
    return (u'\n' + lines.join(u'\n')).toStdString();
}

QByteArray Request(const QByteArray& subject) {
    return "From: " + Bob.toLatin1() + "\r\nTo: " + Own.toLatin1() + "\r\nSubject: CAM " + subject +
           "\r\n\r\nplease\r\n";
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
    int Replies() const { return static_cast<int>(smtp.Mails(Bob).size()); }
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

} // namespace

TEST_F(MailCheckFaults, APop3DropAtAnyStepIsLoggedAndTheRequestAnsweredOnceLater) {
    const QString unconfirmed = QStringLiteral(
        "サーバーがメールの削除を確定しませんでした。次のメールチェックで削除します");
    struct Case {
        const char* what;
        FaultPoint fault;
        QStringList failure; // the last lines of the check with the fault
        bool answered;       // the reply went out before the fault
    };
    const std::vector<Case> cases = {
        {"after the greeting", DropBefore("USER "), {"ログインできませんでした", PopLost}, false},
        {"after the login", DropBefore("STAT"), {PopLost}, false},
        {"during UIDL", DropInReplyTo("UIDL\r\n", 6), {PopLost}, false},
        {"during TOP", DropInReplyTo("TOP ", 20), {PopLost}, false},
        {"after DELE, before QUIT", DropBefore("QUIT"), {Deleted, unconfirmed}, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(c.what)));
        const int before = Replies();
        FaultProxy proxy(pop.Port(), c.fault);
        CurrentMailAccount.POPPort = proxy.Port();
        const QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped()) << c.what;
        EXPECT_EQ(lines.mid(lines.size() - c.failure.size()), c.failure) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before + (c.answered ? 1 : 0)) << c.what;
        // Only an answered request is in the list, and the server deleted nothing.
        EXPECT_EQ(RuleEntries(), c.answered ? 1 : 0) << c.what;
        EXPECT_EQ(Stored(), 1) << c.what;
        ExpectAnsweredOnceLater(c.what, before, c.answered);
    }
}

TEST_F(MailCheckFaults, AnSmtpDropAtAnyStepSendsNothingDeletesNothingAndIsAnsweredOnceLater) {
    struct Case {
        const char* what;
        FaultPoint fault;
        const char* step; // as the log names it
    };
    const std::vector<Case> cases = {
        {"after the greeting", DropBefore("HELO"), "HELO"},
        {"after HELO", DropBefore("MAIL FROM"), "MAIL FROM"},
        {"after MAIL", DropBefore("RCPT TO"), "RCPT TO"},
        {"after RCPT", DropBefore("DATA\r\n"), "DATA"},
        {"after DATA", DropInReplyTo("DATA\r\n", 0), "DATA"},
        {"in the middle of the message", DropBefore("Content-Transfer-Encoding: base64"),
         "メール本文"},
        {"before the final reply", DropBefore("\r\n.\r\n"), "メール本文"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(c.what)));
        const int before = Replies();
        FaultProxy proxy(smtp.Port(), c.fault);
        CurrentMailAccount.SMTPPort = proxy.Port();
        const QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped()) << c.what;
        const QStringList failure = {Sending,
                                     QStringLiteral("SMTPサーバーとの接続が切れました (") +
                                         QString::fromUtf8(c.step) + u')',
                                     SendFailed};
        EXPECT_EQ(lines.mid(lines.size() - 3), failure) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before) << c.what;
        EXPECT_EQ(RuleEntries(), 0) << c.what;
        EXPECT_EQ(Stored(), 1) << c.what;
        ExpectAnsweredOnceLater(c.what, before, false);
    }
}

TEST_F(MailCheckFaults, AFullOrMissingTempFolderFailsOneReplyAndTheCheckGoesOn) {
    // The sizes of the files one reply writes, from a reply composed without a limit.
    QString failure;
    WriteStill(Temp("capture.bmp"));
    ASSERT_TRUE(ComposeReply(Temp("capture.bmp"), Temp("new.eml"), ResponseSettings[0], Own, Bob,
                             false, failure));
    const qint64 converted = QFileInfo(LastStagePaths().Converted).size();
    const qint64 encoded = QFileInfo(LastStagePaths().Encoded).size();
    const qint64 mail = QFileInfo(Temp("new.eml")).size();
    DeleteStageFiles(LastStagePaths());
    // Each limit lets the smaller files through, and the log (emptied per case) too.
    ASSERT_GT(converted, 16384);
    ASSERT_LT(converted, encoded);
    ASSERT_LT(encoded, mail);
    std::unique_ptr<FileSizeLimit> limit;
    const QString temp = TempFolder();
    // The disk fills up after the still, just short of the file named.
    const auto fullAfterStill = [&](qint64 bytes) {
        return [&limit, bytes](const QString& path) {
            WriteStill(path);
            limit = std::make_unique<FileSizeLimit>(bytes);
        };
    };
    struct Case {
        const char* what;
        std::function<void(const QString& path)> capture; // the first request's capture
        QString line;                                     // the check's line for it
    };
    const std::vector<Case> cases = {
        {"the still cut short",
         [&](const QString& path) {
             limit = std::make_unique<FileSizeLimit>(16384);
             WriteStill(path);
         },
         ComposeFailed},
        {"the image file", fullAfterStill(converted - 1), ComposeFailed},
        {"the base64 text", fullAfterStill(encoded - 1), ComposeFailed},
        {"the mail file", fullAfterStill(mail - 1), ComposeFailed},
        {"temp/ is a file",
         [&](const QString& path) {
             QDir(temp).removeRecursively();
             WriteWholeFile(temp, "not a folder");
             WriteStill(path);
         },
         QStringLiteral("キャプチャできませんでした")},
    };
    for (const Case& c : cases) {
        QFile::remove(folder.Path() + QStringLiteral("/options/main.log"));
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(c.what)));
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("next")));
        const int before = Replies();
        // The fault holds for the first request; the disk is sound again for the second.
        captureHook = [&](const QString& path) {
            c.capture(path);
            captureHook = [&](const QString& next) {
                limit.reset();
                QFile::remove(temp);
                QDir().mkpath(temp);
                WriteStill(next);
            };
        };
        const QStringList lines = Check();
        EXPECT_TRUE(lines.contains(c.line)) << c.what << Shown(lines);
        // The second request is answered in the same check, once; the first is kept.
        EXPECT_EQ(lines.count(Sending), 1) << c.what << Shown(lines);
        EXPECT_EQ(lines.count(Sent), 1) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before + 1) << c.what;
        EXPECT_EQ(Stored(), 1) << c.what;
        ExpectAnsweredOnceLater(c.what, before + 1, false);
    }
    // What went out is whole: Python's email package and Pillow read every reply.
    const std::vector<SmtpServer::StoredMail> mails = smtp.Mails(Bob);
    ASSERT_EQ(mails.size(), 2 * cases.size());
    for (const SmtpServer::StoredMail& mail : mails) {
        WriteWholeFile(Temp("stored.eml"), mail.Message);
        ExpectSoundReply(Temp("stored.eml"), QByteArray(), QString::fromUtf8("写真です\n"), "JPEG",
                         640, 480);
    }
}

TEST_F(MailCheckFaultsOverTls, ADropInTheTlsHandshakeIsLoggedAndTheRequestAnsweredOnceLater) {
    // A TLS record (a ClientHello) opens with 0x16 0x03; the server's first flight is longer
    // than the bytes let through after the client's hello or the STLS or STARTTLS reply.
    const QByteArray clientHello("\x16\x03", 2);
    struct Case {
        const char* what;
        bool pop;     // the POP3 side fails, else the SMTP side
        int security; // of the failing side
        FaultPoint fault;
        QString line; // the log's line for it
    };
    const std::vector<Case> cases = {
        {"POP3 STLS", true, SecurityStartTls, DropInReplyTo("STLS\r\n", 300),
         QStringLiteral("POP3サーバーとTLSで接続できませんでした")},
        {"POP3 TLS from the start", true, SecurityTls, DropInReplyTo(clientHello, 300),
         QStringLiteral("POP3サーバーとTLSで接続できませんでした")},
        {"SMTP STARTTLS", false, SecurityStartTls, DropInReplyTo("STARTTLS\r\n", 300),
         QStringLiteral("SMTPサーバーとTLSで接続できませんでした")},
    };
    CurrentMailAccount.SMTPSecurity = SecurityStartTls;
    for (const Case& c : cases) {
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(c.what)));
        const int before = Replies();
        const int popPort = c.pop && c.security == SecurityTls ? pop.TlsPort() : pop.Port();
        FaultProxy proxy(c.pop ? popPort : smtp.Port(), c.fault);
        CurrentMailAccount.POPSecurity = c.pop ? c.security : SecurityStartTls;
        CurrentMailAccount.POPPort = c.pop ? proxy.Port() : pop.Port();
        CurrentMailAccount.SMTPPort = c.pop ? smtp.Port() : proxy.Port();
        const QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped()) << c.what;
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const QString& line) { return line.startsWith(c.line); }))
            << c.what << Shown(lines);
        EXPECT_EQ(lines.contains(SendFailed), !c.pop) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before) << c.what;
        EXPECT_EQ(Stored(), 1) << c.what;
        ExpectAnsweredOnceLater(c.what, before, false);
    }
}
