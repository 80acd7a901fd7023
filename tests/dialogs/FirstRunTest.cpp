#include "dialogs/FirstRunRegistration.h"

#include "settings/AllSettings.h"
#include "settings/FirstRunDialogs.h"
#include "settings/ProgramObjects.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QPlainTextEdit>

namespace {

class FirstRunTest : public ::testing::Test {
  protected:
    FirstRunTest() { RegisterFirstRunDialogs(); }
    ~FirstRunTest() override {
        SetNewMailAccountDialog({});
        SetNewResponseSettingDialog({});
        ResetProgramObjects();
    }
    QStringList OptionFiles() const {
        return QDir(folder.Path() + QStringLiteral("/options")).entryList(QDir::Files);
    }
    // The account dialog answers with a complete account.
    std::unique_ptr<WhenModalOpens> AccountDialogAccepts() {
        return std::make_unique<WhenModalOpens>("frmDlgMailAccount", [this](QWidget* dialog) {
            opened << QStringLiteral("account");
            const struct {
                const char* box;
                const char* text;
            } typed[] = {{"txtName", "camera"},   {"txtMailAddr", "camera@example.jp"},
                         {"txtUserName", "cam"},  {"txtPassword", "pw"},
                         {"txtPOP", "127.0.0.1"}, {"txtSMTP", "127.0.0.1"},
                         {"txtTimeout", "60"}};
            for (const auto& t : typed)
                Type(dialog, t.box, QString::fromLatin1(t.text));
            Click(dialog, "Command1(0)");
        });
    }
    std::unique_ptr<WhenModalOpens> EditorAnswers(bool accept) {
        return std::make_unique<WhenModalOpens>(
            "frmDlgResAccount", [this, accept](QWidget* editor) {
                opened << QStringLiteral("setting");
                shownName = Control<QLineEdit>(editor, "txtName")->text();
                if (!accept) {
                    QTest::keyClick(editor, Qt::Key_Escape);
                    return;
                }
                Control<QPlainTextEdit>(editor, "txtAcceptedMailAddrs")
                    ->setPlainText(QStringLiteral("me@example.jp"));
                Click(editor, "Command1(0)");
            });
    }

    ScratchProgramFolder folder; // an empty options folder: a first run
    MsgBoxRecorder boxes;
    QStringList opened;
    QString shownName;
};

} // namespace

TEST_F(FirstRunTest, TheAccountDialogThenTheEditorFillAFirstRun) {
    const auto account = AccountDialogAccepts();
    const auto editor = EditorAnswers(true);
    ASSERT_TRUE(LoadAllSettings());
    EXPECT_EQ(opened, (QStringList{"account", "setting"}));
    EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("camera"));
    EXPECT_EQ(CurrentMailAccount.POPPort, 110);
    EXPECT_EQ(CurrentMailAccount.Timeout, 60);
    ASSERT_EQ(ResponseSettings.size(), 1u);
    EXPECT_EQ(shownName, QStringLiteral("新しい設定1"));
    EXPECT_EQ(ResponseSettings[0].Name, QStringLiteral("新しい設定1"));
    EXPECT_EQ(ResponseSettings[0].vAcceptedMailAddrs,
              ParamValue(QStringList{QStringLiteral("me@example.jp")}));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(OptionFiles().isEmpty()); // written at exit, not before

    SaveAllSettings();
    EXPECT_EQ(OptionFiles(), (QStringList{"001.csp", "main.mla", "main.opt", "main.rul"}));
}

TEST_F(FirstRunTest, CancellingTheFirstSettingEndsTheRunWithNoFileWritten) {
    const auto account = AccountDialogAccepts();
    const auto editor = EditorAnswers(false);
    boxes.SetAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(LoadAllSettings());
    EXPECT_EQ(opened, (QStringList{"account", "setting"}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("設定を保存せずに終了しますか？"));
    EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Question);
    EXPECT_EQ(boxes.Boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.Boxes()[0].defaultButton, MsgDefault::Second);
    EXPECT_TRUE(ResponseSettings.empty());
    EXPECT_TRUE(OptionFiles().isEmpty());
}

TEST_F(FirstRunTest, NoToLeavingShowsTheEditorAgainAsItWas) {
    const auto account = AccountDialogAccepts();
    boxes.SetAnswer(MsgAnswer::No);
    std::unique_ptr<WhenModalOpens> again;
    QString shownAgain;
    WhenModalOpens first("frmDlgResAccount", [&](QWidget* editor) {
        Type(editor, "txtName", QStringLiteral("庭"));
        QTest::keyClick(editor, Qt::Key_Escape);
        again = std::make_unique<WhenModalOpens>("frmDlgResAccount", [&](QWidget* shown) {
            shownAgain = Control<QLineEdit>(shown, "txtName")->text();
            Control<QPlainTextEdit>(shown, "txtAcceptedMailAddrs")
                ->setPlainText(QStringLiteral("me@example.jp"));
            Click(shown, "Command1(0)");
        });
    });
    ASSERT_TRUE(LoadAllSettings());
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(shownAgain, QStringLiteral("庭"));
    ASSERT_EQ(ResponseSettings.size(), 1u);
    EXPECT_EQ(ResponseSettings[0].Name, QStringLiteral("庭"));
}

TEST_F(FirstRunTest, RegistrationInstallsTheGothicFonts) {
    const QFontInfo fixed(QFont(QStringLiteral("ＭＳ ゴシック")));
    const QFontInfo proportional(QFont(QStringLiteral("ＭＳ Ｐゴシック")));
    EXPECT_EQ(fixed.family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(proportional.family(), QStringLiteral("IPAPGothic"));
}
