// Requests answered end to end: a private Dovecot holds the camera's mailbox, aiosmtpd stores
// the replies, the test capture driver is the camera, and the check runs through the main
// window's own wiring, over POP3 and over IMAP with the push holding IDLE. Python's email
// package and Pillow read every reply.
#include "app/Form1.h"
#include "mailcheck/modMailCheck.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"
#include "settings/ProgramObjects.h"
#include "tests/mailcheck/WiredIMAP.h"
#include "tests/reply/ReplyFixture.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/LogLines.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/PlainTextLabel.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TlsMailServers.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <map>

namespace {

const QString Own = QStringLiteral("cam@example.com");
const QString Bob = QStringLiteral("bob@example.net");
const QString Alice = QStringLiteral("alice@example.org");
const QString Carol = QStringLiteral("carol@example.com");

QByteArray Request(const QByteArray& fromLine, const QByteArray& subjectLine) {
    return fromLine + "\r\nTo: " + Own.toLatin1() + "\r\n" + subjectLine +
           "\r\nDate: Mon, 1 Nov 2027 09:00:00 +0900\r\n\r\nplease\r\n";
}

// The log lines of one message, from its header lines to its end.
QStringList Lines(const QByteArray& fromLine, const QByteArray& subjectLine,
                  const QStringList& tail) {
    QStringList lines;
    if (fromLine.startsWith("From:"))
        lines.append(QString::fromLatin1(fromLine));
    lines.append(QStringLiteral("To: ") + Own);
    lines.append(QString::fromLatin1(subjectLine));
    return lines + tail;
}

const QStringList Replied = {"許可されているメールアドレスです", "キャプチャしています",
                             "メールの作成をしています...", "メールを送信しています...",
                             "メールを送信しました"};
const QString Deleted = QStringLiteral("メールを削除しました");

QStringList CheckOpening(const QString& login = QStringLiteral("ログインします...")) {
    return {QString(),
            "メールチェックします (camera)",
            "接続しています...",
            "接続しました",
            login,
            "ログインしました"};
}

class MailCheckCycle : public ReplyFixture {
  protected:
    void SetUp() override {
        if (DovecotServer::Program().isEmpty())
            GTEST_SKIP() << "dovecot is not installed";
        ReplyFixture::SetUp();
        QString problem;
        ASSERT_TRUE(StartServers(problem)) << problem.toStdString();
        camera = std::make_shared<TestCaptureDriver>("test camera", "1.0",
                                                     std::vector<QSize>{{640, 480}});
        SetCaptureDriversForTest({camera});
        form = std::make_unique<Form1>();
        ASSERT_TRUE(form->Form_Load());
        ASSERT_TRUE(PumpUntil([&] { return camera->State().lastFrame >= 0; }));

        CurrentMailAccount.Name = QStringLiteral("camera");
        CurrentMailAccount.MailAddr = Own;
        CurrentMailAccount.POPHost = QStringLiteral("127.0.0.1");
        CurrentMailAccount.POPPort = pop.Port();
        CurrentMailAccount.UserName = QStringLiteral("camera");
        CurrentMailAccount.Password = QStringLiteral("campass");
        CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
        CurrentMailAccount.SMTPPort = smtp.Port();
        CurrentMailAccount.Timeout = 10;
        CResAccount jpeg;
        jpeg.Name = QStringLiteral("small JPEG");
        jpeg.ReductionWidth = 160;
        jpeg.vAcceptedMailAddrs = QStringList{Bob, QString(), Alice};
        jpeg.SendMail_Subject = QString::fromUtf8("カメラの写真");
        jpeg.SendMail_Body = QString::fromUtf8("写真です");
        CResAccount png = jpeg;
        png.Name = QStringLiteral("PNG");
        png.FormatType = 1;
        png.ReductionWidth = 120;
        png.vAcceptedMailAddrs = QStringList{Carol, Bob};
        ResponseSettings = {jpeg, png};
        AcceptedLeftSubject = QStringLiteral("CAM");
    }
    virtual bool StartServers(QString& retProblem) {
        return pop.Start({{"camera", "campass"}}, retProblem) && smtp.Start(retProblem);
    }
    void TearDown() override {
        form.reset();
        SetCaptureDriversForTest({});
        ResetProgramObjects();
    }

    void Deliver(const QByteArray& message) { ASSERT_TRUE(pop.Deliver("camera", message)); }

    // Runs one check from the menu command and answers its log lines.
    QStringList Check() {
        const qsizetype before = LoggedMessages(folder).size();
        form->mnuTest_MailCheck_Click();
        return LoggedMessages(folder).mid(before);
    }

    // Each reply stored for recipient, read by the independent reader: sound, from the
    // camera's address, with the image of the setting.
    void ExpectReplies(const QString& recipient, const QStringList& formats, int width,
                       int height) {
        const std::vector<SmtpServer::StoredMail> mails = smtp.Mails(recipient);
        ASSERT_EQ(mails.size(), static_cast<size_t>(formats.size())) << recipient.toStdString();
        for (size_t i = 0; i < mails.size(); ++i) {
            EXPECT_EQ(mails[i].MailFrom, Own);
            const QString stored = folder.Path() + QStringLiteral("/stored.eml");
            WriteWholeFile(stored, mails[i].Message);
            const QString format = formats[static_cast<qsizetype>(i)];
            ExpectSoundReply(stored, QByteArray(), QString::fromUtf8("写真です\n"), format,
                             format == "PNG" ? 120 : width, format == "PNG" ? 90 : height);
            const MailReport report = Probe(stored);
            EXPECT_EQ(report.json["to"].toString(), recipient);
            EXPECT_EQ(report.json["from"].toString(), Own);
        }
    }

    // The requests as mail programs write them, delivered in this order; the log lines each
    // gets when the check deletes what it answered.
    QStringList DeliverRequestShapes() {
        struct Mail {
            QByteArray from, subject;
            QStringList tail;
        };
        const std::vector<Mail> mails = {
            {"From: \"Bob\" <bob@example.net>",
             "Subject: =?ISO-2022-JP?B?Q0FNGyRCPEw/PxsoQg==?=", Replied + QStringList{Deleted}},
            {"From: alice@example.org", "Subject: =?UTF-8?B?Q0FNIOeUu+WDj+OBj+OBoOOBleOBhA==?=",
             Replied + QStringList{Deleted}},
            {"From: Carol <carol@example.com>",
             "Subject: =?utf-8?Q?CAM_=E3=81=8A=E9=A1=98=E3=81=84?=",
             Replied + QStringList{Deleted}},
            {"From: bob@example.net", "Subject: C\r\n AM folded", Replied + QStringList{Deleted}},
            {"From: alice@example.org",
             "Subject: =?UTF-8?B?77yj77yh77yt5YWo6KeS44Gn44GZ?=", Replied + QStringList{Deleted}},
            {"From: bob@example.net",
             "Subject: cam lower case",
             {"許可されているメールアドレスです",
              "件名の先頭に CAM がないため許可されませんでした"}},
            {"from: bob@example.net", "Subject: CAM from in lower case", {}},
            {"From: Eve <eve@example.com>",
             "Subject: CAM",
             {"許可されていないメールアドレスでした"}},
            {"From: bob@example.net", "Subject: ", {}},
        };
        QStringList expected;
        for (const Mail& mail : mails) {
            Deliver(Request(mail.from, mail.subject));
            QByteArray logged = mail.subject;
            logged.replace("\r\n ", "");
            expected += Lines(mail.from, logged, mail.tail);
        }
        return expected;
    }
    // Bob's requests went to the first setting that accepts him, Carol's to the PNG one.
    void ExpectRequestShapesAnswered() {
        ExpectReplies(Bob, {"JPEG", "JPEG"}, 160, 120);
        ExpectReplies(Alice, {"JPEG", "JPEG"}, 160, 120);
        ExpectReplies(Carol, {"PNG"}, 160, 120);
        EXPECT_TRUE(smtp.Mails(QStringLiteral("eve@example.com")).empty());
    }

    QStringList RuleEntries() const {
        QStringList entries;
        const QString text = QString::fromLatin1(folder.Read("options/main.rul"));
        for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            if (!line.startsWith(QStringLiteral("//")))
                entries.append(line);
        return entries;
    }

    DovecotServer pop;
    SmtpServer smtp;
    MsgBoxRecorder boxes;
    std::shared_ptr<TestCaptureDriver> camera;
    std::unique_ptr<Form1> form;
};

} // namespace

TEST_F(MailCheckCycle, AcceptedRequestsAreAnsweredOnceAndDeleted) {
    const QStringList expected = CheckOpening() + DeliverRequestShapes();
    DeleteAfterReply = true;
    EXPECT_EQ(Check(), expected);
    EXPECT_TRUE(boxes.Boxes().empty());

    ExpectRequestShapesAnswered();
    EXPECT_EQ(pop.StoredCount("camera"), 4);
    // Every message was settled: the answered ones, and those passed over for good.
    const QStringList afterFirst = RuleEntries();
    EXPECT_EQ(afterFirst.size(), 9);
    EXPECT_EQ(afterFirst, *ReceivedUidlList);

    // The second check answers nothing, and forgets the deleted messages.
    EXPECT_EQ(Check(), CheckOpening());
    EXPECT_EQ(smtp.Mails(Bob).size(), 2u);
    EXPECT_EQ(RuleEntries(), afterFirst.mid(5));
    EXPECT_EQ(pop.StoredCount("camera"), 4);
}

TEST_F(MailCheckCycle, WithoutAPrefixEveryAcceptedSenderIsAnsweredAndNothingDeleted) {
    AcceptedLeftSubject.clear();
    DeleteAfterReply = true;
    Deliver(Request("From: bob@example.net", "Subject: cam lower case"));
    Deliver(Request("From: bob@example.net", "Subject: "));
    CurrentMailAccount.APOP = 1;
    EXPECT_EQ(Check(), CheckOpening("APOPでログインします...") +
                           Lines("From: bob@example.net", "Subject: cam lower case", Replied) +
                           Lines("From: bob@example.net", "Subject: ", {}));
    ExpectReplies(Bob, {"JPEG"}, 160, 120);
    EXPECT_EQ(pop.StoredCount("camera"), 2);
    EXPECT_EQ(RuleEntries().size(), 2);
}

TEST_F(MailCheckCycle, AReplyThatFailedIsAnsweredAtTheNextCheckExactlyOnce) {
    const int down = FreeLoopbackPort();
    ASSERT_NE(down, 0);
    CurrentMailAccount.SMTPPort = down;
    DeleteAfterReply = true;
    const QByteArray from = "From: bob@example.net", subject = "Subject: CAM now";
    Deliver(Request(from, subject));
    QStringList failed = Replied.mid(0, 4);
    failed << QStringLiteral("SMTPサーバーに接続できませんでした")
           << QStringLiteral("メールの送信に失敗しました");
    EXPECT_EQ(Check(), CheckOpening() + Lines(from, subject, failed));
    EXPECT_EQ(RuleEntries(), QStringList());
    EXPECT_EQ(pop.StoredCount("camera"), 1);

    CurrentMailAccount.SMTPPort = smtp.Port();
    EXPECT_EQ(Check(), CheckOpening() + Lines(from, subject, Replied + QStringList{Deleted}));
    EXPECT_EQ(RuleEntries().size(), 1);
    EXPECT_EQ(Check(), CheckOpening() + QStringList{"メールはありませんでした"});
    ExpectReplies(Bob, {"JPEG"}, 160, 120);
    EXPECT_EQ(pop.StoredCount("camera"), 0);
    EXPECT_EQ(RuleEntries(), QStringList());
}

TEST_F(MailCheckCycle, AClosedWindowEndsTheCheckFirstAndKeepsWhatWasAnswered) {
    DeleteAfterReply = true;
    Deliver(Request("From: bob@example.net", "Subject: CAM one"));
    Deliver(Request("From: alice@example.org", "Subject: CAM two"));
    // The window is closed while the second still is taken.
    int captures = 0;
    const StillCapture camera = SetStillCapture({});
    SetStillCapture([&](const QString& path) {
        camera(path);
        if (++captures == 2)
            form->close();
    });
    const QStringList lines = Check();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), QStringLiteral("キャプチャしています")); // nothing ran after
    // The shutdown comes once the check has ended, and saves the first answer.
    EXPECT_FALSE(QFile::exists(folder.Path() + "/options/main.opt"));
    ASSERT_TRUE(PumpUntil([&] { return QFile::exists(folder.Path() + "/options/main.opt"); }));
    EXPECT_EQ(smtp.Mails(Bob).size(), 1u);
    EXPECT_TRUE(smtp.Mails(Alice).empty());
    EXPECT_EQ(RuleEntries().size(), 1);
    // Without QUIT the server keeps both; the first is never answered again.
    EXPECT_EQ(pop.StoredCount("camera"), 2);
    EXPECT_TRUE(QDir(TempFolder()).entryList(QDir::Files).isEmpty());
    SetStillCapture({});
}

// The status line shows every log line, header values of mails from anyone among them: a
// header's markup stays text there, never styles or a picture loaded from a file.
TEST_F(MailCheckCycle, TheStatusLineShowsMarkupOfAMailAsText) {
    const QString picture = folder.Path() + QStringLiteral("/picture.png");
    ASSERT_TRUE(QImage(64, 64, QImage::Format_RGB32).save(picture));
    const auto* status = form->findChild<QLabel*>(QStringLiteral("lblInformation"));
    ASSERT_NE(status, nullptr);
    for (const QByteArray& subject : {QByteArray("Subject: <font color=red size=5>CAM sent</font>"),
                                      "Subject: <img src=" + picture.toUtf8() + ">"}) {
        SCOPED_TRACE(subject.toStdString());
        // Without a From line no step follows the subject: it is the check's last line.
        Deliver(Request("X-Mailer: any", subject));
        const QStringList lines = Check();
        ASSERT_EQ(lines.last(), QString::fromLatin1(subject));
        EXPECT_TRUE(status->text().endsWith(lines.last()));
        EXPECT_TRUE(ShowsTextPlainly(*status));
    }
}

TEST_F(MailCheckCycle, ForgedRequestsAreRefusedOnlyWithSenderAuthenticationOn) {
    // The receiving server's trace line, then the sender's own lines.
    const QByteArray from = "Received: from mail.example.net (mail.example.net [192.0.2.7]) by "
                            "mx.example.com with ESMTPS id 4Q7x; Mon, 1 Nov 2027 09:00:01 +0900\r\n"
                            "From: Bob <bob@example.net>";
    // As the receiving server writes it above its Received line, folded over three lines.
    const QByteArray genuine =
        "Authentication-Results: mx.example.com;\r\n"
        "\tdkim=pass header.i=@example.net header.s=s1 header.b=Xy12;\r\n"
        "\tspf=pass (example.net: 192.0.2.7 is permitted) smtp.mailfrom=bob@example.net;\r\n"
        "\tdmarc=pass (p=REJECT sp=REJECT dis=NONE) header.from=example.net\r\n";
    const std::vector<QByteArray> requests = {
        genuine + from,
        from, // no result at all
        "Authentication-Results: mx.example.net; dmarc=pass header.from=example.net\r\n" + from,
        "Authentication-Results: mx.example.com; dkim=fail; dmarc=fail "
        "header.from=example.net\r\n" +
            from,
    };
    const auto deliverAll = [&] {
        for (const QByteArray& request : requests)
            Deliver(Request(request, "Subject: CAM"));
    };
    RequireAuthenticatedSender = true;
    TrustedAuthServId = QStringLiteral("MX.example.com");
    deliverAll();
    const QStringList lines = Check();
    const QStringList refused = lines.filter(
        QRegularExpression(QStringLiteral("^差出人を認証できないため返信しませんでした: .+")));
    EXPECT_EQ(refused.size(), 3) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(refused.last().contains(QStringLiteral("dmarc=fail")))
        << refused.last().toStdString();
    EXPECT_EQ(lines.count(QStringLiteral("メールを送信しました")), 1);
    ExpectReplies(Bob, {"JPEG"}, 160, 120);
    // Refused requests are settled: none is tried again.
    EXPECT_EQ(RuleEntries().size(), 4);
    EXPECT_EQ(Check().count(QStringLiteral("メールを送信しました")), 0);

    RequireAuthenticatedSender = false;
    deliverAll();
    EXPECT_EQ(Check().count(QStringLiteral("メールを送信しました")), 4);
    EXPECT_EQ(smtp.Mails(Bob).size(), 5u);
}

TEST_F(MailCheckCycle, TheReplyLimitPerSenderAnswersFiveOfTwenty) {
    const QString flood = QStringLiteral("flood@example.org");
    ResponseSettings[0].vAcceptedMailAddrs = QStringList{flood};
    MaxRepliesPerSenderPerHour = 5;
    for (int i = 0; i < 20; ++i)
        Deliver(Request("From: " + flood.toLatin1(), "Subject: CAM " + QByteArray::number(i)));
    const QStringList lines = Check();
    EXPECT_EQ(lines.count(QStringLiteral("メールを送信しました")), 5);
    EXPECT_EQ(lines.count(QStringLiteral("返信の上限 (1時間に5通) を超えたため返信しませんでした")),
              15);
    EXPECT_EQ(smtp.Mails(flood).size(), 5u);
    // The requests over the limit are settled, not queued for later.
    EXPECT_EQ(RuleEntries().size(), 20);
    EXPECT_EQ(Check().count(QStringLiteral("メールを送信しました")), 0);
}

namespace {

// Both servers on TLS from the first byte, the SMTP server asking for a login.
class MailCheckCycleOverTls : public MailCheckCycle {
  protected:
    bool StartServers(QString& retProblem) override {
        SmtpServer::Offer offer;
        offer.Tls = QStringLiteral("implicit");
        offer.Users = QStringList{QStringLiteral("camera:campass")};
        return StartTlsMailServers(certificates, pop, {{"camera", "campass"}}, smtp, offer,
                                   retProblem);
    }
    void SetUp() override {
        MailCheckCycle::SetUp();
        CurrentMailAccount.POPSecurity = 2;
        CurrentMailAccount.POPPort = pop.TlsPort();
        CurrentMailAccount.SMTPSecurity = 2;
        CurrentMailAccount.SMTPAuth = 1;
    }

    TestCertificates certificates;
};

} // namespace

TEST_F(MailCheckCycleOverTls, ARequestIsAnsweredWithBothServersOnTls) {
    DeleteAfterReply = true;
    Deliver(Request("From: bob@example.net", "Subject: CAM over TLS"));
    EXPECT_EQ(Check(), CheckOpening() + Lines("From: bob@example.net", "Subject: CAM over TLS",
                                              Replied + QStringList{Deleted}));
    ExpectReplies(Bob, {"JPEG"}, 160, 120);
    EXPECT_EQ(pop.StoredCount("camera"), 0);
    // A pinned fingerprint that is not the server's ends the check before the login.
    Deliver(Request("From: bob@example.net", "Subject: CAM again"));
    CurrentMailAccount.POPCertificate =
        certificates.OpensslFingerprint(TestCertificates::UnknownCa);
    const QStringList refused = Check();
    EXPECT_FALSE(refused.contains(QStringLiteral("ログインしました")))
        << refused.join(u'\n').toStdString();
    EXPECT_EQ(smtp.Mails(Bob).size(), 1u);
}

namespace {

// The camera's account on the IMAP side of the same Dovecot: the main window holds the folder
// in IDLE, and its push starts every check.
class MailCheckCycleOverImap : public MailCheckCycle {
  protected:
    bool StartServers(QString& retProblem) override {
        pop.OfferImap();
        return MailCheckCycle::StartServers(retProblem);
    }
    void SetUp() override {
        MailCheckCycle::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CurrentMailAccount.MailProtocol = ProtocolIMAP;
        CurrentMailAccount.POPPort = pop.ImapPort();
    }
    static QStringList Opening() {
        return CheckOpening() + QStringList{QStringLiteral("フォルダ INBOX を選択しました")};
    }
    // The checks logged after the first before lines, each from its blank line on.
    QList<QStringList> ChecksSince(qsizetype before) const {
        QList<QStringList> checks;
        for (const QString& line : LoggedMessages(folder).mid(before)) {
            if (line.isEmpty())
                checks.append(QStringList());
            if (!checks.isEmpty())
                checks.last().append(line);
        }
        return checks;
    }
    // The UIDs a second IMAP client finds in the camera's INBOX with criteria.
    QList<quint32> Search(const QByteArray& criteria) {
        return SecondClientSearch(pop.ImapPort(), criteria);
    }
    size_t Answered() const {
        return smtp.Mails(Bob).size() + smtp.Mails(Alice).size() + smtp.Mails(Carol).size();
    }
};

} // namespace

TEST_F(MailCheckCycleOverImap, RequestsDeliveredDuringIdleAreAnsweredOnceAndDeleted) {
    DeleteAfterReply = true;
    // The push's connection starts a check at once, on the empty folder.
    ASSERT_TRUE(PumpUntil([this] { return ChecksSince(0).size() == 1; }, 10000));
    EXPECT_EQ(ChecksSince(0)[0], Opening() + QStringList{"メールはありませんでした"});
    const qsizetype before = LoggedMessages(folder).size();
    const QStringList expected = Opening() + DeliverRequestShapes();
    // The new messages alone start the next check: no timer tick and no menu command.
    ASSERT_TRUE(PumpUntil([this] { return Answered() == 5; }, 60000));
    const QList<QStringList> checks = ChecksSince(before);
    ASSERT_FALSE(checks.isEmpty());
    EXPECT_EQ(checks[0], expected);
    for (const QStringList& later : checks.mid(1))
        EXPECT_EQ(later, Opening() + QStringList{"メールはありませんでした"});
    EXPECT_TRUE(boxes.Boxes().empty());
    ExpectRequestShapesAnswered();
    // The answered requests are gone; the flags of the server settle the rest, nothing local.
    EXPECT_EQ(pop.StoredCount("camera"), 4);
    EXPECT_EQ(Search("KEYWORD $VistrelSkipped").size(), 4);
    EXPECT_EQ(Search("UNKEYWORD $VistrelSkipped"), QList<quint32>());
    EXPECT_EQ(RuleEntries(), QStringList());

    // A check from the menu answers nothing more.
    EXPECT_EQ(Check(), Opening() + QStringList{"メールはありませんでした"});
    EXPECT_EQ(Answered(), 5u);
}
