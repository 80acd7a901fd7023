#include "tests/app/MainWindowFixture.h"
#include "tests/dialogs/MailAccountDriving.h"

#include <QDialog>

namespace {

struct SettingsCommandsTest : MainWindowFixture {
    void SetUp() override { Start({std::make_shared<TestCaptureDriver>("Camera A")}); }
};

} // namespace

TEST_F(SettingsCommandsTest, EachDialogRunsWithTheTimerStoppedAndTheCountKept) {
    const struct {
        const char* item;
        const char* dialogClass;
    } commands[] = {{"mnuSetting_MailAccount", "frmDlgMailAccount"},
                    {"mnuSetting_ResAccountList", "frmDlgResAccountList"},
                    {"mnuSetting_Option", "frmDlgOption"}};
    MailCheckInterval = 5;
    for (int i = 0; i < 3; ++i)
        form->tmrMailCheck_Timer();
    for (const auto& command : commands) {
        bool timerDuring = true;
        WhenModalOpens close(command.dialogClass, [&](QWidget* dialog) {
            timerDuring = form->MailCheckTimerEnabled();
            static_cast<QDialog*>(dialog)->reject();
        });
        Item(command.item)->trigger();
        EXPECT_TRUE(close.Ran()) << command.item;
        EXPECT_FALSE(timerDuring) << command.item;
        EXPECT_TRUE(form->MailCheckTimerEnabled()) << command.item;
        EXPECT_EQ(form->MailCheckCount(), 3) << command.item;
    }
    // The count goes on where it was: due two ticks later.
    form->tmrMailCheck_Timer();
    EXPECT_EQ(checks, 0);
    form->tmrMailCheck_Timer();
    EXPECT_EQ(checks, 1);
}

TEST_F(SettingsCommandsTest, TheMailAccountChangesOnlyWhenTheDialogIsAccepted) {
    CurrentMailAccount = LocalMailAccount();
    {
        WhenModalOpens cancel("frmDlgMailAccount", [](QWidget* dialog) {
            Type(dialog, "txtName", QStringLiteral("cancelled"));
            Click(dialog, "Command1(1)");
        });
        Item("mnuSetting_MailAccount")->trigger();
        ASSERT_TRUE(cancel.Ran());
    }
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("カメラ"));
    {
        WhenModalOpens accept("frmDlgMailAccount", [](QWidget* dialog) {
            Type(dialog, "txtName", QStringLiteral("garden"));
            Type(dialog, "txtPOPPort", QStringLiteral("1110"));
            Click(dialog, "Command1(0)");
        });
        Item("mnuSetting_MailAccount")->trigger();
        ASSERT_TRUE(accept.Ran());
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("garden"));
    EXPECT_EQ(CurrentMailAccount.POPPort, 1110);
    EXPECT_EQ(CurrentMailAccount.MailAddr, QStringLiteral("camera@example.jp"));
}

TEST_F(SettingsCommandsTest, TheOptionDialogShowsAndStoresTheOptions) {
    MailCheckInterval = 5;
    WhenModalOpens accept("frmDlgOption", [](QWidget* dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, "txtMailCheckInterval")->text(), QStringLiteral("5"));
        Type(dialog, "txtMailCheckInterval", QStringLiteral("12"));
        Click(dialog, "cmdOK");
    });
    Item("mnuSetting_Option")->trigger();
    ASSERT_TRUE(accept.Ran());
    EXPECT_EQ(MailCheckInterval, 12);
}
