#include "settings/AllSettings.h"
#include "settings/FirstRunDialogs.h"
#include "settings/MailAccountFile.h"
#include "settings/ResponseSettingFiles.h"
#include "settings/modFileAccess.h"

#include "tests/settings/SettingsFilesFixture.h"
#include "tests/support/MsgBoxRecorder.h"

#include <QDir>

namespace {

const QString AccountError =
    QString::fromUtf8("メールアカウントファイル(*.mla)にエラーがありました");
const QString ResponseError =
    QString::fromUtf8("返信用イメージの設定ファイル(*.csp)にエラーがありました");

CMailAccount Account(const QString& name) {
    CMailAccount account;
    account.Name = name;
    account.Password = QStringLiteral("pw-") + name;
    return account;
}

CResAccount Setting(const QString& name) {
    CResAccount setting;
    setting.Name = name;
    setting.vAcceptedMailAddrs = QStringList{name + QStringLiteral("@example.jp")};
    return setting;
}

QStringList Names() {
    QStringList names;
    for (const CResAccount& setting : ResponseSettings)
        names << setting.Name;
    return names;
}

} // namespace

// Registers first-run dialogs that answer as told and record that they opened.
class AllSettingsTest : public SettingsFilesFixture {
  protected:
    AllSettingsTest() {
        SetNewMailAccountDialog([this] {
            opened << QStringLiteral("account");
            boxesBeforeDialog = static_cast<int>(boxes.Boxes().size());
            return acceptAccount ? std::optional(Account(QStringLiteral("new account")))
                                 : std::nullopt;
        });
        SetNewResponseSettingDialog([this] {
            opened << QStringLiteral("setting");
            return acceptSetting ? std::optional(Setting(QStringLiteral("first"))) : std::nullopt;
        });
    }
    ~AllSettingsTest() override {
        SetNewMailAccountDialog({});
        SetNewResponseSettingDialog({});
    }

    // What a start after an exit sees.
    bool Restart() {
        ResetProgramObjects();
        opened.clear();
        return LoadAllSettings();
    }
    QStringList BoxTexts() const {
        QStringList texts;
        for (const MsgBoxRequest& box : boxes.Boxes())
            texts << box.text;
        return texts;
    }

    MsgBoxRecorder boxes;
    QStringList opened;
    int boxesBeforeDialog = -1;
    bool acceptAccount = true, acceptSetting = true;
};

TEST_F(AllSettingsTest, FirstRunAsksForBothAndTheNextStartLoadsWhatTheExitSaved) {
    ASSERT_TRUE(LoadAllSettings());
    EXPECT_EQ(opened, (QStringList{"account", "setting"}));
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("new account"));
    EXPECT_EQ(Names(), QStringList{"first"});
    EXPECT_FALSE(ReceivedUidlList.has_value());
    EXPECT_TRUE(boxes.Boxes().empty());

    ReceivedUidlList = QStringList{QStringLiteral("u1"), QStringLiteral(" u2")};
    ResponseSettings.push_back(Setting(QStringLiteral("second")));
    CurrentMailAccount.Timeout = 120;
    MailCheckInterval = 10;
    DeviceDriverIndex = 1;
    AcceptedLeftSubject = QStringLiteral("cam");
    DeleteAfterReply = true;
    window.state = 2;
    window.bounds = QRect(5, 6, 700, 500);
    SaveAllSettings();
    EXPECT_EQ(QDir(Options()).entryList(QDir::Files),
              (QStringList{"001.csp", "002.csp", "main.mla", "main.opt", "main.rul"}));

    window = FakeWindowPlacement();
    ASSERT_TRUE(Restart());
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("new account"));
    EXPECT_EQ(CurrentMailAccount.Password, QStringLiteral("pw-new account"));
    EXPECT_EQ(CurrentMailAccount.Timeout, 30);
    EXPECT_EQ(Names(), (QStringList{"first", "second"}));
    EXPECT_EQ(ResponseSettings[1].vAcceptedMailAddrs,
              ParamValue(QStringList{QStringLiteral("second@example.jp")}));
    EXPECT_EQ(ReceivedUidlList, (QStringList{"u1", " u2"}));
    EXPECT_EQ(MailCheckInterval, 10);
    EXPECT_EQ(DeviceDriverIndex, 1);
    EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("cam"));
    EXPECT_FALSE(DeleteAfterReply);
    EXPECT_EQ(window.state, 2);
    EXPECT_EQ(window.bounds, QRect(5, 6, 700, 500));
}

TEST_F(AllSettingsTest, CancellingTheFirstResponseSettingEndsTheLoadWritingNothing) {
    acceptSetting = false;
    WriteOption(QStringLiteral("main.opt"), QStringLiteral("MailCheckInterval=9\r\n"));
    EXPECT_FALSE(LoadAllSettings());
    EXPECT_EQ(opened, (QStringList{"account", "setting"}));
    EXPECT_TRUE(ResponseSettings.empty());
    EXPECT_EQ(MailCheckInterval, 5); // the options file is not read either
    EXPECT_EQ(QDir(Options()).entryList(QDir::Files), QStringList{"main.opt"});
}

TEST_F(AllSettingsTest, CancelledAccountIsSavedNamelessSoTheNextStartAsksAgain) {
    acceptAccount = false;
    ASSERT_TRUE(LoadAllSettings());
    EXPECT_TRUE(CurrentMailAccount.Name.isEmpty());
    EXPECT_EQ(CurrentMailAccount.POPPort, 110);
    SaveAllSettings();
    EXPECT_TRUE(OptionText(QStringLiteral("main.mla")).contains(QStringLiteral("\r\nName=\r\n")));
    ASSERT_TRUE(Restart());
    EXPECT_EQ(opened, QStringList{"account"});
}

TEST_F(AllSettingsTest, DamagedAccountFileIsReportedBeforeTheNewAccountDialog) {
    ResponseSettings = {Setting(QStringLiteral("s"))};
    SaveAllSettings(); // a complete set of files, the account nameless
    ASSERT_TRUE(Restart());
    EXPECT_EQ(boxesBeforeDialog, 1);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.Boxes()[0].title, AppTitle());
    EXPECT_EQ(boxes.Boxes()[0].text, AccountError);
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("new account"));

    // A missing file is a first run, not an error.
    QFile::remove(Options() + QStringLiteral("/main.mla"));
    ASSERT_TRUE(Restart());
    EXPECT_EQ(opened, QStringList{"account"});
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(AllSettingsTest, DamagedResponseSettingFilesAreReported) {
    CurrentMailAccount = Account(QStringLiteral("a"));
    ResponseSettings = {Setting(QStringLiteral("good"))};
    SaveAllSettings();
    WriteOption(QStringLiteral("002.csp"), QStringLiteral("Name=broken\r\n"));
    ASSERT_TRUE(Restart());
    EXPECT_EQ(BoxTexts(), QStringList{ResponseError});
    EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(Names(), QStringList{"good"});

    // With no good setting left the box still comes, before the editor.
    QFile::remove(Options() + QStringLiteral("/001.csp"));
    ASSERT_TRUE(Restart());
    EXPECT_EQ(BoxTexts(), (QStringList{ResponseError, ResponseError}));
    EXPECT_EQ(opened, QStringList{"setting"});
}

TEST_F(AllSettingsTest, WithoutRegisteredDialogsAFirstRunGoesOnWithDefaults) {
    SetNewMailAccountDialog({});
    SetNewResponseSettingDialog({});
    EXPECT_TRUE(LoadAllSettings());
    EXPECT_TRUE(CurrentMailAccount.Name.isEmpty());
    EXPECT_TRUE(ResponseSettings.empty());
}

// The exit's save stops after each possible number of written files in turn; the next start
// must find every setting (old or new) and ask for nothing.
TEST_F(AllSettingsTest, ASaveInterruptedAfterAnyFileLeavesEverySettingRecoverable) {
    const auto oldState = [&] {
        ResetProgramObjects();
        CurrentMailAccount = Account(QStringLiteral("old account"));
        ResponseSettings = {Setting(QStringLiteral("a")), Setting(QStringLiteral("b")),
                            Setting(QStringLiteral("c")), Setting(QStringLiteral("d"))};
        ReceivedUidlList = QStringList{QStringLiteral("u1")};
        MailCheckInterval = 7;
    };
    const auto edit = [&] {
        CurrentMailAccount = Account(QStringLiteral("new account"));
        ResponseSettings.erase(ResponseSettings.begin() + 1); // b
        ResponseSettings[1].SendMail_Subject = QStringLiteral("edited");
        ReceivedUidlList->append(QStringLiteral("u2"));
        MailCheckInterval = 8;
    };
    const int fileCount = 4 + 3; // rule, account, three settings, options
    for (int written = 0; written <= fileCount; ++written) {
        for (const QString& name : QDir(Options()).entryList(QDir::Files))
            QFile::remove(Options() + u'/' + name);
        oldState();
        SaveAllSettings();
        edit();
        int writes = 0;
        SetSaveTextFileCheck([&](const QString&) { return writes++ < written; });
        SaveAllSettings();
        SetSaveTextFileCheck({});

        ASSERT_TRUE(Restart());
        EXPECT_TRUE(opened.isEmpty()) << written;
        EXPECT_TRUE(boxes.Boxes().empty()) << written;
        EXPECT_TRUE(CurrentMailAccount.Name.endsWith(QStringLiteral("account"))) << written;
        const QStringList names = Names();
        for (const char* name : {"a", "c", "d"})
            EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << written << name;
        EXPECT_TRUE(MailCheckInterval == 7 || MailCheckInterval == 8) << written;
        ASSERT_TRUE(ReceivedUidlList.has_value()) << written;
        if (written == fileCount) {
            EXPECT_EQ(names, (QStringList{"a", "c", "d"}));
            EXPECT_EQ(ResponseSettings[1].SendMail_Subject, QStringLiteral("edited"));
            EXPECT_EQ(MailCheckInterval, 8);
        }
    }
}

// A reload takes edited files whole, and keeps what runs when the account or a response
// setting no longer reads.
TEST_F(AllSettingsTest, ReloadTakesSoundFilesAndKeepsTheRunningSettingsOtherwise) {
    ASSERT_TRUE(SaveMailAccountFile(Options(), Account(QStringLiteral("old"))));
    ASSERT_TRUE(SaveResponseSettingFiles(Options(), {Setting(QStringLiteral("one"))}));
    ASSERT_TRUE(LoadAllSettings());
    ASSERT_TRUE(SaveMailAccountFile(Options(), Account(QStringLiteral("edited"))));
    ASSERT_TRUE(SaveResponseSettingFiles(
        Options(), {Setting(QStringLiteral("one")), Setting(QStringLiteral("two"))}));
    EXPECT_TRUE(ReloadAllSettings());
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("edited"));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));

    for (const QString& damaged : {QStringLiteral("main.mla"), QStringLiteral("002.csp")}) {
        const QByteArray whole = ReadOption(damaged);
        WriteOption(damaged, QStringLiteral("Name=\r\n"));
        EXPECT_FALSE(ReloadAllSettings()) << damaged.toStdString();
        EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("edited"));
        EXPECT_EQ(Names(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        folder.Write(QStringLiteral("options/") + damaged, whole);
    }
    EXPECT_TRUE(opened.isEmpty());
}
