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

TEST_F(OptionFileTest, AFileWithoutTheOptionalKeysIsSavedByteForByteAsBefore) {
    const QByteArray before("//\r\n// Option\r\n//\r\n\r\nWindowLeft=8\r\nWindowTop=12\r\n"
                            "WindowWidth=640\r\nWindowHeight=481\r\nWindowState=2\r\n"
                            "MailCheckInterval=15\r\nDeviceDriverIndex=2\r\n"
                            "AcceptedLeftSubject=\x8e\xca\x90\x5e\r\n\r\n");
    folder.Write(QStringLiteral("options/main.opt"), before);
    LoadOptionFile(Options());
    EXPECT_FALSE(RequireAuthenticatedSender);
    EXPECT_TRUE(TrustedAuthServId.isEmpty());
    EXPECT_EQ(MaxRepliesPerSenderPerHour, 0);
    EXPECT_FALSE(MotionAlert);
    EXPECT_TRUE(MotionAlertSetting.isEmpty());
    EXPECT_EQ(MotionSensitivity, 50);
    EXPECT_EQ(MotionAlertInterval, 10);
    EXPECT_EQ(MotionIgnoreSeconds, 5);
    DeleteAfterReply = true;
    SaveOptionFile(Options());
    EXPECT_EQ(ReadOption(QStringLiteral("main.opt")), before);
}

TEST_F(OptionFileTest, SenderOptionsAreWrittenOnlyWhenTheyDifferAndComeBack) {
    const QString common = QStringLiteral("MailCheckInterval=5\r\nDeviceDriverIndex=0\r\n"
                                          "AcceptedLeftSubject=\r\n");
    const struct {
        bool require;
        const char* id;
        int limit;
        const char* lines; // after the common ones
    } cases[] = {
        {false, "", 0, ""},
        {true, "", 0, "RequireAuthenticatedSender=1\r\n"},
        {false, "mx.mailhost.example", 0, "TrustedAuthServId=mx.mailhost.example\r\n"},
        {false, "", 5, "MaxRepliesPerSenderPerHour=5\r\n"},
        {true, "mx.mailhost.example", 1000,
         "RequireAuthenticatedSender=1\r\nTrustedAuthServId=mx.mailhost.example\r\n"
         "MaxRepliesPerSenderPerHour=1000\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        RequireAuthenticatedSender = c.require;
        TrustedAuthServId = QString::fromLatin1(c.id);
        MaxRepliesPerSenderPerHour = c.limit;
        SaveOptionFile(Options());
        const QString text = OptionText(QStringLiteral("main.opt"));
        EXPECT_TRUE(text.endsWith(common + QString::fromLatin1(c.lines) + QStringLiteral("\r\n")))
            << text.toStdString();

        // A restart: the values start from their defaults and come back from the file.
        ResetProgramObjects();
        LoadOptionFile(Options());
        EXPECT_EQ(RequireAuthenticatedSender, c.require);
        EXPECT_EQ(TrustedAuthServId, QString::fromLatin1(c.id));
        EXPECT_EQ(MaxRepliesPerSenderPerHour, c.limit);
    }
}

TEST_F(OptionFileTest, SenderOptionValuesAreReadSafely) {
    const struct {
        const char* line;
        bool requireBefore;
        bool require;
    } flags[] = {
        {"RequireAuthenticatedSender=0", true, false},
        {"RequireAuthenticatedSender=1", false, true},
        {"RequireAuthenticatedSender=2", false, true},  // any number but 0 is on
        {"RequireAuthenticatedSender=-1", false, true}, // never turned off by an odd number
        {"RequireAuthenticatedSender=yes", true, true}, // no number: unchanged
        {"RequireAuthenticatedSender=yes", false, false},
        {"RequireAuthenticatedSender=", true, true},
        {"WindowState=0", true, false}, // absent: the default, as the file leaves it out
    };
    for (const auto& c : flags) {
        SCOPED_TRACE(c.line);
        RequireAuthenticatedSender = c.requireBefore;
        LoadLines(QString::fromLatin1(c.line));
        EXPECT_EQ(RequireAuthenticatedSender, c.require);
    }

    const struct {
        const char* line;
        int limit; // with 7 before
    } limits[] = {
        {"MaxRepliesPerSenderPerHour=0", 0},
        {"MaxRepliesPerSenderPerHour=20", 20},
        {"MaxRepliesPerSenderPerHour=-5", 0},
        {"MaxRepliesPerSenderPerHour=1000", 1000},
        {"MaxRepliesPerSenderPerHour=1001", 1000},
        {"MaxRepliesPerSenderPerHour=2147483647", 1000},
        {"MaxRepliesPerSenderPerHour=99999999999999999999", 1000}, // beyond 32 bits
        {"MaxRepliesPerSenderPerHour=-99999999999999999999", 0},
        {"MaxRepliesPerSenderPerHour=2.5", 2}, // as every number of the file rounds
        {"MaxRepliesPerSenderPerHour=many", 7},
        {"MaxRepliesPerSenderPerHour=", 7},
        {"MaxRepliesPerSenderPerHour=inf", 7},
        {"MaxRepliesPerSenderPerHour=nan", 7},
        {"MaxRepliesPerSenderPerHour=5x", 7},
        {"WindowState=0", 0},
    };
    for (const auto& c : limits) {
        SCOPED_TRACE(c.line);
        MaxRepliesPerSenderPerHour = 7;
        LoadLines(QString::fromLatin1(c.line));
        EXPECT_EQ(MaxRepliesPerSenderPerHour, c.limit);
    }

    TrustedAuthServId = QStringLiteral("before");
    LoadLines(QStringLiteral("trustedauthservid =  mx.mailhost.example  "));
    EXPECT_EQ(TrustedAuthServId, QStringLiteral("mx.mailhost.example"));
    LoadLines(QStringLiteral("WindowState=0"));
    EXPECT_TRUE(TrustedAuthServId.isEmpty());
}

TEST_F(OptionFileTest, MotionOptionsAreWrittenOnlyWhenTheyDifferAndComeBack) {
    const struct {
        bool alert;
        const char* setting;
        int sensitivity, interval, ignore;
        const char* lines; // after the sender options, here all at their defaults
    } cases[] = {
        {false, "", 50, 10, 5, ""},
        {true, "", 50, 10, 5, "MotionAlert=1\r\n"},
        {false, "家族", 50, 10, 5, "MotionAlertSetting=\x89\xc6\x91\xb0\r\n"},
        {false, "", 1, 10, 5, "MotionSensitivity=1\r\n"},
        {false, "", 100, 1, 0,
         "MotionSensitivity=100\r\nMotionAlertInterval=1\r\n"
         "MotionIgnoreSeconds=0\r\n"},
        {true, "small JPEG", 75, 1440, 600,
         "MotionAlert=1\r\nMotionAlertSetting=small JPEG\r\nMotionSensitivity=75\r\n"
         "MotionAlertInterval=1440\r\nMotionIgnoreSeconds=600\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        ResetProgramObjects();
        MotionAlert = c.alert;
        MotionAlertSetting = QString::fromUtf8(c.setting);
        MotionSensitivity = c.sensitivity;
        MotionAlertInterval = c.interval;
        MotionIgnoreSeconds = c.ignore;
        SaveOptionFile(Options());
        const QByteArray saved = ReadOption(QStringLiteral("main.opt"));
        EXPECT_TRUE(saved.endsWith("AcceptedLeftSubject=\r\n" + QByteArray(c.lines) + "\r\n"))
            << saved.toStdString();

        ResetProgramObjects();
        LoadOptionFile(Options());
        EXPECT_EQ(MotionAlert, c.alert);
        EXPECT_EQ(MotionAlertSetting, QString::fromUtf8(c.setting));
        EXPECT_EQ(MotionSensitivity, c.sensitivity);
        EXPECT_EQ(MotionAlertInterval, c.interval);
        EXPECT_EQ(MotionIgnoreSeconds, c.ignore);
    }
}

TEST_F(OptionFileTest, AMotionValueThatIsAbsentNoNumberOrOutOfRangeReadsAsItsDefault) {
    const struct {
        const char* line;
        bool alert;
        int sensitivity, interval, ignore;
    } cases[] = {
        {"MotionAlert=1", true, 50, 10, 5},
        {"MotionAlert=-2", true, 50, 10, 5},
        {"MotionAlert=0", false, 50, 10, 5},
        {"MotionAlert=yes", false, 50, 10, 5},
        {"MotionSensitivity=0", false, 50, 10, 5},
        {"MotionSensitivity=101", false, 50, 10, 5},
        {"MotionSensitivity=1", false, 1, 10, 5},
        {"MotionSensitivity=99.5", false, 100, 10, 5}, // as every number of the file rounds
        {"MotionAlertInterval=0", false, 50, 10, 5},
        {"MotionAlertInterval=1441", false, 50, 10, 5},
        {"MotionAlertInterval=3", false, 50, 3, 5},
        {"MotionIgnoreSeconds=-1", false, 50, 10, 5},
        {"MotionIgnoreSeconds=601", false, 50, 10, 5},
        {"MotionIgnoreSeconds=0", false, 50, 10, 0},
        {"motionignoreseconds = 30 ", false, 50, 10, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        // Values from before that the file must not keep.
        MotionAlert = !c.alert;
        MotionSensitivity = 7;
        MotionAlertInterval = 7;
        MotionIgnoreSeconds = 7;
        MotionAlertSetting = QStringLiteral("before");
        LoadLines(QString::fromLatin1(c.line));
        EXPECT_EQ(MotionAlert, c.alert);
        EXPECT_EQ(MotionSensitivity, c.sensitivity);
        EXPECT_EQ(MotionAlertInterval, c.interval);
        EXPECT_EQ(MotionIgnoreSeconds, c.ignore);
        EXPECT_TRUE(MotionAlertSetting.isEmpty());
    }
}
