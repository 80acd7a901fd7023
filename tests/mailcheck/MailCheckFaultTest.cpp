// The mail check when the network or the disk fails it: a proxy in front of the real Dovecot or
// aiosmtpd drops the connection at each step of the dialogue, and a file size limit (a full
// disk) or a temp/ that is no folder fails each file the reply needs. Each time the log says
// what failed, nothing partial is sent, nothing is deleted that was not answered, and the
// request is answered exactly once at a later check.
#include "tests/mailcheck/MailCheckFixture.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>

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

TEST_F(MailCheckFaults, AnSmtpDropBeforeTheMessageWentOutIsAnsweredOnceLaterAfterItAtMostOnce) {
    // Once the whole message has left, the server may hold it whatever it says: the request
    // then counts as answered, so that a drop never brings a copy at every check.
    const QString unconfirmed =
        QStringLiteral("メールを送信しましたが、サーバーが受け取ったかどうか"
                       "確認できませんでした。このメールには再び返信しません");
    struct Case {
        const char* what;
        FaultPoint fault;
        const char* step; // as the log names it
        bool wentOut;     // the whole message had left the program
    };
    const std::vector<Case> cases = {
        {"after the greeting", DropBefore("HELO"), "HELO", false},
        {"after HELO", DropBefore("MAIL FROM"), "MAIL FROM", false},
        {"after MAIL", DropBefore("RCPT TO"), "RCPT TO", false},
        {"after RCPT", DropBefore("DATA\r\n"), "DATA", false},
        {"after DATA", DropInReplyTo("DATA\r\n", 0), "DATA", false},
        // On 127.0.0.1 the whole message has left before the proxy drops it.
        {"in the middle of the message", DropBefore("Content-Transfer-Encoding: base64"),
         "メール本文", true},
        {"before the final reply", DropBefore("\r\n.\r\n"), "メール本文", true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(c.what)));
        const int before = Replies();
        FaultProxy proxy(smtp.Port(), c.fault);
        CurrentMailAccount.SMTPPort = proxy.Port();
        const QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped()) << c.what;
        const QString lost =
            QStringLiteral("SMTPサーバーとの接続が切れました (") + QString::fromUtf8(c.step) + u')';
        const QStringList failure = c.wentOut ? QStringList{lost, unconfirmed, Deleted}
                                              : QStringList{Sending, lost, SendFailed};
        EXPECT_EQ(lines.mid(lines.size() - 3), failure) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before) << c.what;
        EXPECT_EQ(RuleEntries(), c.wentOut ? 1 : 0) << c.what;
        EXPECT_EQ(Stored(), c.wentOut ? 0 : 1) << c.what;
        if (c.wentOut)
            EXPECT_EQ(Check().mid(4), QStringList{"メールはありませんでした"}) << c.what;
        else
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
