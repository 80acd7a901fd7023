#include "app/Form1.h"
#include "settings/FirstRunDialogs.h"
#include "settings/ProgramObjects.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct StartUpFixture : testing::Test {
    ScratchProgramFolder folder;
    MsgBoxRecorder boxes;
    int checks = 0;
    Form1 form{[this] { ++checks; }};

    void SetUp() override { ASSERT_TRUE(folder.CopyBuiltLibraries()); }
    void TearDown() override {
        SetNewMailAccountDialog({});
        SetNewResponseSettingDialog({});
        ResponseSettings.clear();
        CurrentMailAccount = CMailAccount();
    }
    void AcceptNewAccount() {
        SetNewMailAccountDialog([] {
            CMailAccount account;
            account.Name = QStringLiteral("camera");
            return std::optional(account);
        });
    }
};

} // namespace

TEST_F(StartUpFixture, CancellingTheFirstResponseSettingEndsWithoutWritingSettings) {
    AcceptNewAccount();
    SetNewResponseSettingDialog([] { return std::optional<CResAccount>(); });
    EXPECT_FALSE(form.Form_Load());
    EXPECT_FALSE(form.MailCheckTimerEnabled());
    EXPECT_TRUE(QDir(folder.Path() + "/options").entryList(QDir::Files).isEmpty());
}

TEST_F(StartUpFixture, ACheckDueDuringAFirstRunDialogWaitsForStartUpToEnd) {
    AcceptNewAccount();
    SetNewResponseSettingDialog([this] {
        // Minutes pass while the user fills in the editor.
        MailCheckInterval = 1;
        for (int i = 0; i < 3; ++i)
            form.tmrMailCheck_Timer();
        CResAccount setting;
        setting.Name = QStringLiteral("first");
        return std::optional(setting);
    });
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(form.MailCheckCount(), 3);
    form.tmrMailCheck_Timer();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(form.MailCheckCount(), 0);
}

TEST_F(StartUpFixture, MissingImageLibraryIsReportedAndEndsStartUp) {
    // In a fresh process: a library once bound stays bound.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QFile::remove(folder.Path() + "/libpelimage.so");
    EXPECT_EXIT(
        {
            const bool started = form.Form_Load();
            const bool reported =
                boxes.Boxes().size() == 1 && boxes.Boxes()[0].icon == MsgIcon::Critical;
            std::_Exit(!started && reported ? 3 : 1);
        },
        testing::ExitedWithCode(3), "");
}
