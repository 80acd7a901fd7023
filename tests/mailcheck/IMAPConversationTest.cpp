// The IMAP client against scripted servers: literals sent only when the server asks for them,
// the SASL exchange, and the responses that end a session: late, unreadable, out of step, or
// bytes slipped in before the TLS handshake.
#include "WiredIMAP.h"

#include "settings/CMailAccount.h"
#include "tests/support/FakeClock.h"
#include "tests/support/LogLines.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/ScriptedServer.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Greeting = "* OK [CAPABILITY IMAP4rev1 STARTTLS] ready\r\n";

} // namespace

TEST(IMAPConversation, ALiteralWaitsForTheContinuationWithoutLiteralPlus) {
    ScriptedServer server({Say(Greeting), Hear(), Say("+ go on\r\n"), Hear(),
                           Say("V1 OK [CAPABILITY IMAP4rev1 IDLE] in\r\n")});
    WiredIMAP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    EXPECT_TRUE(client.imap.Login(QStringLiteral("bob"), QStringLiteral("pä\"ss")));
    EXPECT_TRUE(client.imap.HasCapability("IDLE"));
    EXPECT_EQ(server.Heard(), (QStringList{"V1 LOGIN \"bob\" {6}",
                                           QString::fromLatin1(QByteArray("p\xc3\xa4\"ss"))}));
}

TEST(IMAPConversation, AuthenticatePlainAnswersTheEmptyChallenge) {
    ScriptedServer server({Say("* OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] ready\r\n"), Hear(),
                           Say("+ \r\n"), Hear(), Say("V1 OK done\r\n"), Hear(),
                           Say("* CAPABILITY IMAP4rev1 UIDPLUS\r\nV2 OK\r\n")});
    WiredIMAP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    EXPECT_TRUE(client.imap.Login(QStringLiteral("bob"), QStringLiteral("pw")));
    EXPECT_TRUE(client.imap.HasCapability("UIDPLUS"));
    EXPECT_EQ(server.Heard(),
              (QStringList{"V1 AUTHENTICATE PLAIN", "AGJvYgBwdw==", "V2 CAPABILITY"}));
}

TEST(IMAPConversation, ResponsesThatEndTheSession) {
    const struct {
        const char* what;
        QByteArray answer; // to SELECT
    } cases[] = {
        {"silence", ""},
        {"unreadable", "* 1 FETCH (UID\r\n"},
        {"another command's completion", "V7 OK done\r\n"},
        {"an unasked continuation", "+ more\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeClock clock;
        std::vector<ScriptStep> script{Say(Greeting), Hear()};
        if (!c.answer.isEmpty())
            script.push_back(Say(c.answer));
        ScriptedServer server(script);
        WiredIMAP client;
        client.imap.TimeoutSecond(2);
        ASSERT_TRUE(client.Connect(server.Port()));
        EXPECT_TRUE(client.imap.InStep());
        EXPECT_FALSE(client.imap.Select(QStringLiteral("INBOX")));
        EXPECT_FALSE(client.imap.InStep());
    }
}

TEST(IMAPConversation, BytesAfterTheStartTlsCompletionFailTheConnection) {
    ScratchProgramFolder folder;
    ScriptedServer server(
        {Say(Greeting), Hear(),
         Say("V1 OK begin\r\n* OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] forged\r\n")});
    WiredIMAP client;
    EXPECT_FALSE(client.Connect(server.Port(), SecurityStartTls));
    EXPECT_EQ(client.sock.State(), SocketControl::sckClosed);
    EXPECT_TRUE(client.imap.LastFailure().contains(QStringLiteral("余分なデータ")));
    EXPECT_EQ(server.Heard(), QStringList{"V1 STARTTLS"});
}

TEST(IMAPConversation, AServerWithoutStartTlsIsRefusedNotUsedInPlainText) {
    ScratchProgramFolder folder;
    ScriptedServer server({Say("* OK [CAPABILITY IMAP4rev1] ready\r\n")});
    WiredIMAP client;
    EXPECT_FALSE(client.Connect(server.Port(), SecurityStartTls));
    EXPECT_FALSE(client.imap.LastFailure().isEmpty());
    EXPECT_TRUE(server.Heard().isEmpty());
}

TEST(IMAPConversation, WithoutUidPlusOnlyAFolderWhereNothingElseIsMarkedIsExpunged) {
    const struct {
        const char* what;
        QByteArray capabilities;
        std::vector<ScriptStep> answers; // after the greeting, to each command in turn
        bool removed, othersMarked;
        QStringList heard;
    } cases[] = {
        {"UIDPLUS",
         "IMAP4rev1 UIDPLUS",
         {Hear(), Say("V1 OK expunged\r\n")},
         true,
         false,
         {"V1 UID EXPUNGE 4"}},
        {"ours alone marked",
         "IMAP4rev1",
         {Hear(), Say("* SEARCH 4\r\nV1 OK\r\n"), Hear(), Say("* 2 EXPUNGE\r\nV2 OK\r\n")},
         true,
         false,
         {"V1 UID SEARCH DELETED", "V2 EXPUNGE"}},
        {"another marked too",
         "IMAP4rev1",
         {Hear(), Say("* SEARCH 4 9\r\nV1 OK\r\n")},
         false,
         true,
         {"V1 UID SEARCH DELETED"}},
        // Our mark did not hold: nothing is removed, and no other message is to blame.
        {"nothing marked",
         "IMAP4rev1",
         {Hear(), Say("* SEARCH\r\nV1 OK\r\n")},
         false,
         false,
         {"V1 UID SEARCH DELETED"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ScriptStep> script{Say("* OK [CAPABILITY " + c.capabilities + "] ready\r\n")};
        script.insert(script.end(), c.answers.begin(), c.answers.end());
        ScriptedServer server(script);
        WiredIMAP client;
        ASSERT_TRUE(client.Connect(server.Port()));
        bool othersMarked = !c.othersMarked;
        EXPECT_EQ(client.imap.UidExpunge(4, othersMarked), c.removed);
        EXPECT_EQ(othersMarked, c.othersMarked);
        EXPECT_TRUE(client.imap.InStep());
        EXPECT_EQ(server.Heard(), c.heard);
    }
}

TEST(IMAPConversation, AServerOfferingImap4rev2IsAskedForItAndAnsweredInItsForms) {
    // RFC 9051: ENABLE after the login; searches then come as ESEARCH, and UID EXPUNGE needs
    // no UIDPLUS.
    ScriptedServer server(
        {Say("* OK [CAPABILITY IMAP4rev1 IMAP4rev2 AUTH=PLAIN SASL-IR] ready\r\n"), Hear(),
         Say("V1 OK [CAPABILITY IMAP4rev1 IMAP4rev2] in\r\n"), Hear(),
         Say("* ENABLED IMAP4rev2\r\nV2 OK\r\n"), Hear(),
         Say("* ESEARCH (TAG \"V3\") UID ALL 3:4,7\r\nV3 OK\r\n"), Hear(), Say("V4 OK\r\n")});
    WiredIMAP client;
    ASSERT_TRUE(client.Connect(server.Port()));
    ASSERT_TRUE(client.imap.Login(QStringLiteral("bob"), QStringLiteral("pw")));
    EXPECT_TRUE(client.imap.Rev2());
    QList<quint32> uids;
    ASSERT_TRUE(client.imap.UidSearch("UNANSWERED", uids));
    EXPECT_EQ(uids, (QList<quint32>{3, 4, 7}));
    bool othersMarked = true;
    EXPECT_TRUE(client.imap.UidExpunge(7, othersMarked));
    EXPECT_FALSE(othersMarked);
    EXPECT_EQ(server.Heard(),
              (QStringList{"V1 AUTHENTICATE PLAIN AGJvYgBwdw==", "V2 ENABLE IMAP4rev2",
                           "V3 UID SEARCH UNANSWERED", "V4 UID EXPUNGE 7"}));
    EXPECT_TRUE(client.imap.InStep());
}
