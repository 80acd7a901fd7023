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
