// The mail check over IMAP against the real Dovecot and aiosmtpd with the test camera: each
// request answered once and flagged \Answered where a second client sees it, passed-over mail
// marked, only the answered UID expunged, and drops and late answers at each step.
#include "MailCheckFixture.h"
#include "WiredIMAP.h"

#include "mailcheck/IMAPLedger.h"
#include "tests/support/FaultProxy.h"

#include <gtest/gtest.h>

namespace {

class IMAPMailCheck : public MailCheckFaults {
  protected:
    void SetUp() override {
        MailCheckFaults::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CurrentMailAccount.MailProtocol = ProtocolIMAP;
        CurrentMailAccount.POPPort = pop.ImapPort();
        DeleteAfterReply = false;
    }
    bool StartServers(QString& retProblem) override {
        pop.OfferImap();
        return MailCheckFaults::StartServers(retProblem);
    }
    // The UIDs a second client finds with criteria.
    QList<quint32> Search(const QByteArray& criteria) {
        return SecondClientSearch(pop.ImapPort(), criteria);
    }
};

} // namespace

TEST_F(IMAPMailCheck, EachRequestIsAnsweredOnceAndFlaggedWherever) {
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("one")));
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("two", QStringLiteral("eve@x.org"))));
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"),
                            "From: " + Bob.toLatin1() + "\r\nSubject: hello\r\n\r\nx\r\n"));
    const QStringList lines = Check();
    EXPECT_EQ(lines.mid(0, 5),
              (QStringList{"接続しています...", "接続しました", "ログインします...",
                           "ログインしました", "フォルダ INBOX を選択しました"}))
        << Shown(lines);
    EXPECT_EQ(lines.count(Sent), 1) << Shown(lines);
    EXPECT_EQ(Replies(), 1);
    EXPECT_EQ(Search("ANSWERED"), QList<quint32>{1});
    EXPECT_EQ(Search("KEYWORD $VistrelSkipped"), (QList<quint32>{2, 3}));
    EXPECT_EQ(Search("SEEN"), QList<quint32>());
    // Nothing is kept locally once the flags hold it, and nothing is answered twice.
    EXPECT_EQ(RuleEntries(), 0);
    EXPECT_EQ(Check().mid(5), QStringList{"メールはありませんでした"});
    EXPECT_EQ(Replies(), 1);
}

TEST_F(IMAPMailCheck, DeleteAfterReplyExpungesOnlyTheAnsweredUid) {
    DeleteAfterReply = true;
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("one")));
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), "Subject: kept\r\n\r\nx\r\n"));
    // A mail program marks the second message \Deleted and has not yet expunged it.
    WiredIMAP program;
    ASSERT_TRUE(program.Connect(pop.ImapPort()));
    ASSERT_TRUE(program.imap.Login(QStringLiteral("camera"), QStringLiteral("campass")));
    ASSERT_TRUE(program.imap.Select(QStringLiteral("INBOX")));
    ASSERT_TRUE(program.imap.UidStoreFlags(2, "\\Deleted"));
    const QStringList lines = Check();
    EXPECT_EQ(lines.count(Deleted), 1) << Shown(lines);
    EXPECT_EQ(Replies(), 1);
    EXPECT_EQ(Stored(), 1);
    EXPECT_EQ(Search("DELETED"), QList<quint32>{2});
}

TEST_F(IMAPMailCheck, ADropOrALateAnswerAtEachStepEndsTheCheckAndTheRequestIsAnsweredOnceLater) {
    const auto late = [](const char* command) {
        return QStringLiteral("IMAPサーバーの応答が時間内に届かないか読み取れないため、メール"
                              "チェックを終えます (") +
               QString::fromUtf8(command) + u')';
    };
    struct Case {
        const char* what;
        FaultPoint fault;
        QString last;  // the last line of the check with the fault
        bool answered; // the reply went out before the fault
    };
    CurrentMailAccount.Timeout = 1;
    const std::vector<Case> cases = {
        {"at the login", DropBefore("AUTHENTICATE"), PopLost, false},
        {"a late login", DelayReplyTo("AUTHENTICATE", 3000), late("ログイン"), false},
        {"after the login", DropBefore("SELECT"), PopLost, false},
        {"a late SELECT", DelayReplyTo("SELECT", 3000), late("SELECT"), false},
        {"during SEARCH", DropInReplyTo("UID SEARCH", 5), PopLost, false},
        {"a late SEARCH", DelayReplyTo("UID SEARCH", 3000), late("SEARCH"), false},
        {"during the header", DropInReplyTo("UID FETCH", 20), PopLost, false},
        {"a late header", DelayReplyTo("UID FETCH", 3000), late("FETCH"), false},
        // Between the 250 and the flag, as a kill there would: the record alone settles it.
        {"before the flag", DropBefore("\\Answered"), PopLost, true},
        // The server set the flag, the client never heard: the flag settles it.
        {"a late flag", DelayReplyTo("\\Answered", 3000), late("STORE"), true},
    };
    const int port = pop.ImapPort();
    for (const Case& c : cases) {
        ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request(c.what)));
        const int before = Replies();
        FaultProxy proxy(port, c.fault);
        CurrentMailAccount.POPPort = proxy.Port();
        QStringList lines = Check();
        EXPECT_TRUE(proxy.Dropped()) << c.what;
        EXPECT_EQ(lines.last(), c.last) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before + (c.answered ? 1 : 0)) << c.what;
        EXPECT_EQ(RuleEntries(), c.answered ? 1 : 0) << c.what;
        CurrentMailAccount.POPPort = port;
        lines = Check();
        EXPECT_EQ(lines.count(Sent), c.answered ? 0 : 1) << c.what << Shown(lines);
        EXPECT_EQ(Replies(), before + 1) << c.what;
        EXPECT_EQ(RuleEntries(), 0) << c.what;
        EXPECT_EQ(Check().mid(5), QStringList{"メールはありませんでした"}) << c.what;
    }
}

TEST_F(IMAPMailCheck, ANewUidValidityForgetsTheFolder_sRecordsAndTrustsTheFlags) {
    const auto validity = [this] {
        WiredIMAP client;
        EXPECT_TRUE(client.Connect(pop.ImapPort()));
        EXPECT_TRUE(client.imap.Login(QStringLiteral("camera"), QStringLiteral("campass")));
        EXPECT_TRUE(client.imap.Select(QStringLiteral("INBOX")));
        return client.imap.UidValidity();
    };
    // A reply out, its flag never set: UID 1 is recorded as answered under this UIDVALIDITY.
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("one")));
    const quint32 first = validity();
    {
        FaultProxy proxy(pop.ImapPort(), DropBefore("\\Answered"));
        CurrentMailAccount.POPPort = proxy.Port();
        Check();
        CurrentMailAccount.POPPort = pop.ImapPort();
    }
    ASSERT_EQ(RuleEntries(), 1);
    // The folder is made anew, and another request becomes its UID 1.
    ASSERT_TRUE(pop.RecreateMailbox(QStringLiteral("camera")));
    ASSERT_TRUE(pop.Deliver(QStringLiteral("camera"), Request("two")));
    ASSERT_NE(validity(), first);
    const QStringList lines = Check();
    EXPECT_EQ(lines.count(Sent), 1) << Shown(lines);
    EXPECT_EQ(Replies(), 2);
    EXPECT_EQ(Search("ANSWERED"), QList<quint32>{1});
    EXPECT_EQ(RuleEntries(), 0);
}

TEST(IMAPLedger, AChangedUidValidityOrASettledUidDropsTheFolder_sEntries) {
    const QString replying = LedgerEntry(LedgerKind::Replying, 7, 3, QStringLiteral("In box"));
    const QString skipped = LedgerEntry(LedgerKind::Skipped, 7, 4, QStringLiteral("In box"));
    const QString elsewhere = LedgerEntry(LedgerKind::Replying, 9, 3, QStringLiteral("Other"));
    const QStringList list{QStringLiteral("pop3-uidl"), replying, skipped, elsewhere};
    LedgerKind kind;
    quint32 validity = 0, uid = 0;
    QString folder;
    ASSERT_TRUE(ReadLedgerEntry(replying, kind, validity, uid, folder));
    EXPECT_EQ(kind, LedgerKind::Replying);
    EXPECT_EQ(folder, QStringLiteral("In box"));
    EXPECT_FALSE(ReadLedgerEntry(QStringLiteral("pop3-uidl"), kind, validity, uid, folder));
    EXPECT_EQ(StaleLedgerEntries(list, QStringLiteral("In box"), 7, {3, 4}), QStringList());
    EXPECT_EQ(StaleLedgerEntries(list, QStringLiteral("In box"), 7, {4}), QStringList{replying});
    EXPECT_EQ(StaleLedgerEntries(list, QStringLiteral("In box"), 8, {3, 4}),
              (QStringList{replying, skipped}));
}
