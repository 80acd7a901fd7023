#include "dialogs/frmDlgOption.h"

#include "settings/ProgramObjects.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"

#include <QCheckBox>
#include <QLabel>

namespace {

const QString IntervalError = QStringLiteral("メールチェック間隔の値が不正です");

class OptionDialogTest : public ::testing::Test {
  protected:
    OptionDialogTest() {
        MailCheckInterval = 5;
        AcceptedLeftSubject = QStringLiteral("cam");
        DeleteAfterReply = false;
    }
    ~OptionDialogTest() override { ResetProgramObjects(); }
    // A freshly filled dialog on the screen.
    void Open() {
        dialog.Loadset();
        ASSERT_TRUE(ShowActive(&dialog));
    }

    MsgBoxRecorder boxes;
    frmDlgOption dialog;
};

} // namespace

TEST_F(OptionDialogTest, ControlsCarryTheirNamesCaptionsAndValues) {
    MailCheckInterval = 12;
    DeleteAfterReply = true;
    Open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("オプション"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label1")->text(), QStringLiteral("メールチェック間隔(&I)"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label1")->buddy(),
              Control<QLineEdit>(&dialog, "txtMailCheckInterval"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label2")->text(), QStringLiteral("分"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label3")->text(),
              QStringLiteral("件名の先頭文字列による自動返信の許可(&S)\n"
                             "(設定が空の場合はこの機能は無視されます)"));
    EXPECT_EQ(Control<QCheckBox>(&dialog, "chkMailCheckToDelete")->text(),
              QStringLiteral("受信した返信可能なメールは返信後にサーバーから削除する"));
    EXPECT_TRUE(Control<QPushButton>(&dialog, "cmdOK")->isDefault());
    EXPECT_EQ(Control<QPushButton>(&dialog, "cmdCancel")->text(), QStringLiteral("キャンセル"));
    EXPECT_NE(Control<QFrame>(&dialog, "Line1"), nullptr);
    EXPECT_NE(Control<QFrame>(&dialog, "Line2"), nullptr);

    EXPECT_EQ(Control<QLineEdit>(&dialog, "txtMailCheckInterval")->text(), QStringLiteral("12"));
    EXPECT_EQ(Control<QLineEdit>(&dialog, "txtAcceptedLeftSubject")->text(), QStringLiteral("cam"));
    EXPECT_TRUE(Control<QCheckBox>(&dialog, "chkMailCheckToDelete")->isChecked());
}

TEST_F(OptionDialogTest, OnlyAWholeIntervalOfAtLeastOneIsAccepted) {
    const struct {
        const char* typed;
        int stored; // 0: refused
    } cases[] = {{"0", 0}, {"-1", 0},  {"abc", 0}, {"", 0},    {"99999999999", 0},
                 {"1", 1}, {"30", 30}, {" 7 ", 7}, {"2.5", 2}, {"0.5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        MailCheckInterval = 5;
        Open();
        Type(&dialog, "txtMailCheckInterval", QString::fromLatin1(c.typed));
        const size_t before = boxes.Boxes().size();
        Click(&dialog, "cmdOK");
        if (c.stored == 0) {
            ASSERT_EQ(boxes.Boxes().size(), before + 1);
            const MsgBoxRequest& box = boxes.Boxes().back();
            EXPECT_EQ(box.text, IntervalError);
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
            EXPECT_EQ(box.title, AppTitle());
            EXPECT_TRUE(dialog.isVisible()); // open, with the user's input
            EXPECT_EQ(Control<QLineEdit>(&dialog, "txtMailCheckInterval")->text(),
                      QString::fromLatin1(c.typed));
            EXPECT_EQ(MailCheckInterval, 5);
            dialog.reject();
        } else {
            EXPECT_EQ(boxes.Boxes().size(), before);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(MailCheckInterval, c.stored);
        }
    }
}

TEST_F(OptionDialogTest, OkStoresThePrefixAsTypedAndTheDeleteChoice) {
    Open();
    Type(&dialog, "txtAcceptedLeftSubject", QString());
    Control<QCheckBox>(&dialog, "chkMailCheckToDelete")->setChecked(true);
    Click(&dialog, "cmdOK");
    EXPECT_TRUE(AcceptedLeftSubject.isEmpty());
    EXPECT_TRUE(DeleteAfterReply);

    // Reopened, the dialog shows the choice again; spaces of the prefix stay.
    Open();
    EXPECT_TRUE(Control<QCheckBox>(&dialog, "chkMailCheckToDelete")->isChecked());
    Type(&dialog, "txtAcceptedLeftSubject", QStringLiteral(" 写真 "));
    QTest::keyClick(Control<QLineEdit>(&dialog, "txtAcceptedLeftSubject"), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(AcceptedLeftSubject, QStringLiteral(" 写真 "));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(OptionDialogTest, CancelAndEscChangeNothing) {
    for (const bool byEsc : {false, true}) {
        Open();
        Type(&dialog, "txtMailCheckInterval", QStringLiteral("9"));
        Type(&dialog, "txtAcceptedLeftSubject", QStringLiteral("other"));
        Control<QCheckBox>(&dialog, "chkMailCheckToDelete")->setChecked(true);
        if (byEsc)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            Click(&dialog, "cmdCancel");
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(MailCheckInterval, 5);
        EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("cam"));
        EXPECT_FALSE(DeleteAfterReply);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(OptionDialogTest, TheIntervalBoxSelectsItsTextOnFocus) {
    Open();
    auto* interval = Control<QLineEdit>(&dialog, "txtMailCheckInterval");
    auto* prefix = Control<QLineEdit>(&dialog, "txtAcceptedLeftSubject");
    prefix->setFocus();
    interval->deselect();
    QTest::mouseClick(interval, Qt::LeftButton, {}, QPoint(2, interval->height() / 2));
    ASSERT_TRUE(PumpUntilSelected(interval));
    EXPECT_EQ(interval->selectedText(), QStringLiteral("5"));

    interval->setFocus();
    QTest::mouseClick(prefix, Qt::LeftButton, {}, QPoint(2, prefix->height() / 2));
    QTest::qWait(20);
    EXPECT_TRUE(prefix->hasFocus());
    EXPECT_TRUE(prefix->selectedText().isEmpty());
}

TEST_F(OptionDialogTest, DlgShowOpensModallyFromTheCurrentSettings) {
    DeleteAfterReply = true;
    QString shownInterval;
    WhenModalOpens driver("frmDlgOption", [&](QWidget* shown) {
        shownInterval = Control<QLineEdit>(shown, "txtMailCheckInterval")->text();
        Type(shown, "txtMailCheckInterval", QStringLiteral("15"));
        Click(shown, "cmdOK");
    });
    frmDlgOption().DlgShow();
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(shownInterval, QStringLiteral("5"));
    EXPECT_EQ(MailCheckInterval, 15);
    EXPECT_TRUE(DeleteAfterReply);
}
