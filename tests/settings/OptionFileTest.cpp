#include "settings/OptionFile.h"

#include "tests/settings/SettingsFilesFixture.h"

namespace {

QString OptionFile(const QString& lines) {
    return QStringLiteral("//\r\n// Option\r\n//\r\n\r\n") + lines + QStringLiteral("\r\n");
}

} // namespace

class OptionFileTest : public SettingsFilesFixture {
  protected:
    void LoadLines(const QString& lines) {
        WriteOption(QStringLiteral("main.opt"), OptionFile(lines));
        LoadOptionFile(Options());
    }
};

TEST_F(OptionFileTest, SavedFileIsByteExactInKeyOrderWithoutDeleteAfterReply) {
    window.bounds = QRect(-8, 12, 640, 481);
    MailCheckInterval = 15;
    DeviceDriverIndex = 2;
    AcceptedLeftSubject = QString::fromUtf8("写真");
    DeleteAfterReply = true;
    SaveOptionFile(Options());
    EXPECT_EQ(ReadOption(QStringLiteral("main.opt")),
              QByteArray("//\r\n// Option\r\n//\r\n\r\nWindowLeft=-8\r\nWindowTop=12\r\n"
                         "WindowWidth=640\r\nWindowHeight=481\r\nWindowState=0\r\n"
                         "MailCheckInterval=15\r\nDeviceDriverIndex=2\r\n"
                         "AcceptedLeftSubject=\x8e\xca\x90\x5e\r\n\r\n"));
}

TEST_F(OptionFileTest, MaximisedWindowComesBackMaximisedOverItsNormalBounds) {
    window.state = 2;
    window.bounds = QRect(100, 50, 400, 300);
    SaveOptionFile(Options());
    const QString text = OptionText(QStringLiteral("main.opt"));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nWindowState=2\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nWindowLeft=100\r\n")));
    EXPECT_EQ(window.state, 2); // saving does not touch the window

    FakeWindowPlacement restarted;
    SetMainWindowPlacement(&restarted);
    LoadOptionFile(Options());
    EXPECT_EQ(restarted.bounds, QRect(100, 50, 400, 300));
    EXPECT_EQ(restarted.state, 2);
    EXPECT_EQ(restarted.calls, (QStringList{"bounds", "state"}));
}

TEST_F(OptionFileTest, OffScreenPlacementFallsBackAndEdgesOfTheScreenAreOnIt) {
    LoadLines(QStringLiteral("WindowLeft=-5\r\nWindowTop=769\r\nWindowWidth=1025\r\n"
                             "WindowHeight=2000\r\nWindowState=0"));
    EXPECT_EQ(window.bounds, QRect(0, 0, 160, 120));
    LoadLines(QStringLiteral("WindowLeft=1024\r\nWindowTop=768\r\nWindowWidth=0\r\n"
                             "WindowHeight=768"));
    EXPECT_EQ(window.bounds, QRect(1024, 768, 0, 768));
    // Stored as single-precision numbers; a fraction rounds half to even.
    LoadLines(QStringLiteral("WindowLeft=100.5\r\nWindowTop=101.5\r\nWindowWidth=300.4667"));
    EXPECT_EQ(window.bounds.topLeft(), QPoint(100, 102));
    EXPECT_EQ(window.bounds.width(), 300);
}

TEST_F(OptionFileTest, ValuesThatAreNoNumbersKeepTheCurrentOnes) {
    LoadLines(QStringLiteral("WindowLeft=left\r\nWindowWidth=\r\nWindowState=max\r\n"
                             "MailCheckInterval=often\r\nDeviceDriverIndex=x"));
    EXPECT_EQ(window.bounds, QRect(30, 40, 320, 240));
    EXPECT_EQ(window.calls, QStringList{"bounds"});
    EXPECT_EQ(MailCheckInterval, 5);
    EXPECT_EQ(DeviceDriverIndex, 0);
    // An interval below 1 is raised even when the file's value does not read.
    MailCheckInterval = 0;
    LoadLines(QStringLiteral("MailCheckInterval=often"));
    EXPECT_EQ(MailCheckInterval, 1);
}

TEST_F(OptionFileTest, IntervalAndDriverIndexAreClampedAndAMissingPrefixIsEmpty) {
    AcceptedLeftSubject = QStringLiteral("before");
    LoadLines(QStringLiteral("MailCheckInterval=0\r\nDeviceDriverIndex=-3"));
    EXPECT_EQ(MailCheckInterval, 1);
    EXPECT_EQ(DeviceDriverIndex, 0);
    EXPECT_TRUE(AcceptedLeftSubject.isEmpty());
    LoadLines(QStringLiteral("mailcheckinterval = 30\r\nDeviceDriverIndex=3\r\n"
                             "AcceptedLeftSubject=  cam: a=b "));
    EXPECT_EQ(MailCheckInterval, 30);
    EXPECT_EQ(DeviceDriverIndex, 3);
    EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("cam: a=b"));
}

TEST_F(OptionFileTest, MissingFileChangesNothingAndNoWindowIsNoFault) {
    MailCheckInterval = 7;
    LoadOptionFile(Options());
    EXPECT_EQ(MailCheckInterval, 7);
    EXPECT_TRUE(window.calls.isEmpty());

    SetMainWindowPlacement(nullptr);
    LoadLines(QStringLiteral("WindowLeft=10\r\nMailCheckInterval=9"));
    EXPECT_EQ(MailCheckInterval, 9);
    SaveOptionFile(Options());
    EXPECT_TRUE(OptionText(QStringLiteral("main.opt"))
                    .contains(QStringLiteral("WindowLeft=0\r\nWindowTop=0\r\nWindowWidth=160\r\n"
                                             "WindowHeight=120\r\nWindowState=0\r\n")));
}

TEST_F(OptionFileTest, AFileOverSixteenMebibytesChangesNothing) {
    const QString lines = QStringLiteral("MailCheckInterval=9\r\nAcceptedLeftSubject=CAM\r\n");
    WriteOption(QStringLiteral("main.opt"), PaddedTo(OptionFile(lines), LargestSettingsFile + 1));
    LoadOptionFile(Options());
    EXPECT_EQ(MailCheckInterval, 5);
    EXPECT_TRUE(AcceptedLeftSubject.isEmpty());
    EXPECT_TRUE(window.calls.isEmpty());

    WriteOption(QStringLiteral("main.opt"), PaddedTo(OptionFile(lines), LargestSettingsFile));
    LoadOptionFile(Options());
    EXPECT_EQ(MailCheckInterval, 9);
    EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("CAM"));
}
