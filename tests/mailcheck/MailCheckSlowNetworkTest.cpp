// The mail check when the servers answer late, refuse for good, or the request's header tries
// to choose the reply's sender: a proxy in front of the real Dovecot or aiosmtpd holds one
// answer back past the time-out. No request is answered under another's identifier, none
// twice, none deleted unanswered.
#include "tests/mailcheck/MailCheckFixture.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/QtPrinters.h"

#include <QDir>

namespace {

const QString Alice = QStringLiteral("alice@example.net");
const QString Carol = QStringLiteral("carol@example.net");
const QString NoMail = QStringLiteral("メールはありませんでした");

class MailCheckSlowNetwork : public MailCheckFaults {
  protected:
    void SetUp() override {
        MailCheckFaults::SetUp();
        ResponseSettings[0].vAcceptedMailAddrs = QStringList{Alice, Bob, Carol};
        ResponseSettings[0].DoReduction = 1;
        // Late is past one second: the tests wait out each time-out in real time.
        CurrentMailAccount.Timeout = 1;
    }
    void DeliverThreeRequests(const char* what) {
        for (const QString& from : {Alice, Bob, Carol})
            ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(what, from)));
    }
    int AllReplies() const { return Replies(Alice) + Replies(Bob) + Replies(Carol); }
};

} // namespace

TEST_F(MailCheckSlowNetwork, ALatePop3ReplyEndsTheCheckWithoutQuitAndNoRequestIsAnsweredTwice) {
    const QString ended = QStringLiteral("POP3サーバーの応答が時間内に届かないか読み取れないため、"
                                         "メールチェックを終えます (");
    const QString notCommitted = QStringLiteral(
        "サーバーがメールの削除を確定しませんでした。次のメールチェックで削除します");
    struct Case {
        const char* what;
        FaultPoint fault;
        QStringList failure; // the check's last lines
        int answered;        // replies before the late one
    };
    const std::vector<Case> cases = {
        {"STAT", DelayReplyTo("STAT\r\n", 1800), {ended + "STAT)"}, 0},
        {"UIDL", DelayReplyTo("UIDL\r\n", 1800), {ended + "UIDL)"}, 0},
        {"TOP", DelayReplyTo("TOP 1 0\r\n", 1800), {ended + "TOP)"}, 0},
        {"DELE", DelayReplyTo("DELE 1\r\n", 1800), {ended + "DELE)", notCommitted}, 1},
    };
    for (const Case& c : cases) {
        DeliverThreeRequests(c.what);
        const int before = AllReplies();
        FaultProxy proxy(pop.Port(), c.fault);
        CurrentMailAccount.POPPort = proxy.Port();
        const QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped()) << c.what;
        EXPECT_EQ(lines.mid(lines.size() - c.failure.size()), c.failure) << c.what << Shown(lines);
        EXPECT_EQ(AllReplies(), before + c.answered) << c.what;
        // Without QUIT the server deleted nothing, and only the answered request is recorded.
        EXPECT_EQ(Stored(), 3) << c.what;
        EXPECT_EQ(RuleEntries(), c.answered) << c.what;
        // The next check answers each requester once, and deletes every request.
        const QStringList next = Check();
        EXPECT_EQ(next.count(Sent), 3 - c.answered) << c.what << Shown(next);
        EXPECT_EQ(next.count(Deleted), 3) << c.what << Shown(next);
        for (const QString& requester : {Alice, Bob, Carol})
            EXPECT_EQ(Replies(requester), before / 3 + 1) << c.what << requester.toStdString();
        EXPECT_EQ(Stored(), 0) << c.what;
        EXPECT_EQ(Check().mid(4), QStringList{NoMail}) << c.what;
    }
}

TEST_F(MailCheckSlowNetwork, ALateFinalSmtpReplyIsWaitedForAndAPermanentRefusalSettlesTheRequest) {
    // The server stores the reply and says so after the time-out, or takes the message over a
    // slow uplink for longer than the time-out: one reply, not one a check.
    const FaultPoint slow[] = {DelayReplyTo("\r\n.\r\n", 2500), SlowUploadAfter("DATA\r\n", 4000)};
    for (const FaultPoint& fault : slow) {
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("late", Bob)));
        const int before = Replies(Bob);
        FaultProxy proxy(smtp.Port(), fault);
        CurrentMailAccount.SMTPPort = proxy.Port();
        const QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped());
        EXPECT_EQ(lines.count(Sent), 1) << Shown(lines);
        EXPECT_EQ(Replies(Bob), before + 1);
        EXPECT_EQ(Check().mid(4), QStringList{NoMail});
        EXPECT_EQ(Replies(Bob), before + 1);
    }
    // 550 to the recipient: logged with the server's text, never tried again, not deleted.
    SmtpServer refusing;
    QString problem;
    ASSERT_TRUE(refusing.Start(problem, {Carol})) << problem.toStdString();
    CurrentMailAccount.SMTPPort = refusing.Port();
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("refused", Carol)));
    const QStringList lines = Check();
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[lines.size() - 3].startsWith(
        QStringLiteral("SMTPサーバーがRCPT TOを受け付けませんでした: 550")))
        << Shown(lines);
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{SendFailed, QStringLiteral("サーバーが返信を拒否したため、このメール"
                                                      "には再び返信しません")}));
    EXPECT_EQ(RuleEntries(), 1);
    EXPECT_EQ(Stored(), 1);
    EXPECT_EQ(Check().count(Sending), 0);
}

TEST_F(MailCheckSlowNetwork, ARecordThatCannotBeSavedStopsTheSendBeforeItsData) {
    // A folder in the rule file's place: its save fails even for root.
    const QString rules = folder.Path() + QStringLiteral("/options/main.rul");
    ASSERT_TRUE(QDir().mkpath(rules + QStringLiteral("/blocked")));
    DeliverThreeRequests("unsaved");
    const QStringList lines = Check();
    EXPECT_TRUE(lines.contains(QStringLiteral("受信済みメールの一覧を保存できませんでした")))
        << Shown(lines);
    EXPECT_TRUE(
        lines.contains(QStringLiteral("返信を記録できないため、メールの送信を中止しました")))
        << Shown(lines);
    // The check ends at the first request: nothing sent, nothing deleted.
    EXPECT_EQ(lines.count(Sending), 1) << Shown(lines);
    EXPECT_EQ(AllReplies(), 0);
    EXPECT_EQ(Stored(), 3);
    ASSERT_TRUE(QDir(rules).removeRecursively());
    EXPECT_EQ(Check().count(Sent), 3);
    for (const QString& requester : {Alice, Bob, Carol})
        EXPECT_EQ(Replies(requester), 1) << requester.toStdString();
}

TEST_F(MailCheckSlowNetwork, TheReplyComesFromTheAccountWhateverTheRequestSaysOrTheDialogChanges) {
    const QByteArray toLines[] = {"", "To: undisclosed-recipients:;",
                                  "To: Mom <mom@example.org>, cam@isp.example",
                                  "To: cam@isp.example, friend@example.org", "To: cam@example.com"};
    // The account changes in the middle of the check, as an accepted dialog would change it:
    // the check goes on with the account it started with.
    captureHook = [](const QString& path) {
        CurrentMailAccount.SMTPPort = 1;
        CurrentMailAccount.MailAddr = QStringLiteral("changed@example.org");
        WriteStill(path);
    };
    const CMailAccount account = CurrentMailAccount;
    for (const QByteArray& toLine : toLines)
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("to", Bob, toLine)));
    const QStringList lines = Check();
    EXPECT_EQ(lines.count(Sent), 5) << Shown(lines);
    const std::vector<SmtpServer::StoredMail> mails = smtp.Mails(Bob);
    ASSERT_EQ(mails.size(), 5u);
    for (const SmtpServer::StoredMail& mail : mails) {
        EXPECT_EQ(mail.MailFrom, Own);
        EXPECT_TRUE(mail.Message.startsWith("From: " + Own.toLatin1() + "\r\n"))
            << mail.Message.left(200).toStdString();
    }
    CurrentMailAccount = account;
}
