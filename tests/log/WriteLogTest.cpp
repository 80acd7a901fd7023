#include "log/WriteLog.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct LogFixture : testing::Test {
    ScratchProgramFolder folder;
    QStringList statusLines;
    LocalClock previousClock;
    InformationSink previousSink;

    void SetUp() override {
        previousClock = SetLocalClock([] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5, 3)); });
        previousSink = SetInformationSink([this](const QString& text) { statusLines << text; });
    }
    void TearDown() override {
        SetLocalClock(previousClock);
        SetInformationSink(previousSink);
    }
};

} // namespace

TEST_F(LogFixture, LineBytesAndStatusLine) {
    WriteLog(QStringLiteral("接続しました"));
    EXPECT_EQ(folder.Read("options/main.log"), QByteArray("2026/03/07 09:05:03\t") +
                                                   ToCodePage932(QStringLiteral("接続しました")) +
                                                   QByteArray("\r\n"));
    EXPECT_EQ(statusLines, QStringList{QStringLiteral("2026/03/07 09:05:03  接続しました")});
}

TEST_F(LogFixture, LinesAppendAndAnEmptyMessageLeavesTheStampAndTab) {
    folder.Write("options/main.log", "earlier line\r\n");
    WriteLog(QString());
    WriteLog(QStringLiteral("x"));
    EXPECT_EQ(folder.Read("options/main.log"),
              QByteArray("earlier line\r\n2026/03/07 09:05:03\t\r\n2026/03/07 09:05:03\tx\r\n"));
}

TEST_F(LogFixture, UnwritableLogStillSetsTheStatusLine) {
    QDir(folder.Path()).rmdir(QStringLiteral("options"));
    WriteLog(QStringLiteral("メールチェックします (a)"));
    EXPECT_EQ(statusLines.size(), 1);
    EXPECT_TRUE(statusLines.first().endsWith(QStringLiteral("  メールチェックします (a)")));
    EXPECT_FALSE(QDir(folder.Path()).exists(QStringLiteral("options")));
}

TEST_F(LogFixture, HostileTextBecomesOneLineOfBoundedLength) {
    const QString longest = QString(MaxLogMessageLength, u'a');
    struct Case {
        QString message, expected;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Subject: a\tb"), QStringLiteral("Subject: a\tb")},
        {QStringLiteral("From: x\r\n2026/01/01 00:00:00\tforged"),
         QStringLiteral("From: x??2026/01/01 00:00:00\tforged")},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b\x1b\x7f"), QStringLiteral("a?b??")},
        {longest, longest},
        {longest + QStringLiteral("b"), longest + QStringLiteral("…(全1001文字)")},
        {QString(1000000, u'\n'), QString(MaxLogMessageLength, u'?') + "…(全1000000文字)"},
    };
    for (const Case& c : cases) {
        folder.Write("options/main.log", QByteArray());
        statusLines.clear();
        WriteLog(c.message);
        EXPECT_EQ(folder.Read("options/main.log"),
                  "2026/03/07 09:05:03\t" + ToCodePage932(c.expected) + "\r\n");
        EXPECT_EQ(statusLines, QStringList{QStringLiteral("2026/03/07 09:05:03  ") + c.expected});
    }
}
