#include "dialogs/frmDlgOption.h"

#include "settings/ProgramObjects.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace {

const QString IntervalError = QStringLiteral("メールチェック間隔の値が不正です");
const QString NoIdError = QStringLiteral("信頼する認証サーバーIDが入力されていません");
const QString BadIdError = QStringLiteral("信頼する認証サーバーIDの値が不正です");
const QString LimitError = QStringLiteral("返信の上限の値が不正です (0から1000まで)");
const QString NoSettingError = QStringLiteral("通知先の返信アカウントが選ばれていません");
const QString SensitivityError = QStringLiteral("感度の値が不正です (1から100まで)");
const QString AlertIntervalError = QStringLiteral("通知の間隔の値が不正です (1から1440まで)");
const QString IgnoreError = QStringLiteral("検知しない時間の値が不正です (0から600まで)");

CResAccount Setting(const char* name) {
    CResAccount setting;
    setting.Name = QString::fromUtf8(name);
    return setting;
}

class OptionDialogTest : public ::testing::Test {
  protected:
    OptionDialogTest() { UseStartingOptions(); }
    ~OptionDialogTest() override { ResetProgramObjects(); }
    // The options every case starts from: the defaults but for the prefix "cam".
    static void UseStartingOptions() {
        ResetProgramObjects();
        AcceptedLeftSubject = QStringLiteral("cam");
    }
    // A freshly filled dialog on the screen.
    void Open() {
        dialog.Loadset();
        ASSERT_TRUE(ShowActive(&dialog));
    }
    // OK was refused with one warning, error, since boxesBefore: the dialog stays open.
    void ExpectRefused(size_t boxesBefore, const QString& error) {
        ASSERT_EQ(boxes.Boxes().size(), boxesBefore + 1);
        EXPECT_EQ(boxes.Boxes().back().text, error);
        EXPECT_EQ(boxes.Boxes().back().icon, MsgIcon::Exclamation);
        EXPECT_TRUE(dialog.isVisible());
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
    } cases[] = {{"0", 0},   {"-1", 0},  {"abc", 0}, {"", 0},    {"99999999999", 0}, {"1", 1},
                 {"30", 30}, {" 7 ", 7}, {"2.5", 2}, {"0.5", 0}, {"１５", 15},       {"－１", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        MailCheckInterval = 5;
        Open();
        Type(&dialog, "txtMailCheckInterval", QString::fromUtf8(c.typed));
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
                      QString::fromUtf8(c.typed));
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
        Control<QCheckBox>(&dialog, "chkRequireAuthenticatedSender")->setChecked(true);
        Type(&dialog, "txtTrustedAuthServId", QStringLiteral("mx.example.jp"));
        Type(&dialog, "txtMaxRepliesPerSenderPerHour", QStringLiteral("5"));
        Control<QCheckBox>(&dialog, "chkMotionAlert")->setChecked(true);
        Type(&dialog, "txtMotionSensitivity", QStringLiteral("80"));
        if (byEsc)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            Click(&dialog, "cmdCancel");
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(MailCheckInterval, 5);
        EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("cam"));
        EXPECT_FALSE(DeleteAfterReply);
        EXPECT_FALSE(RequireAuthenticatedSender);
        EXPECT_TRUE(TrustedAuthServId.isEmpty());
        EXPECT_EQ(MaxRepliesPerSenderPerHour, 0);
        EXPECT_FALSE(MotionAlert);
        EXPECT_EQ(MotionSensitivity, 50);
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

TEST_F(OptionDialogTest, SenderControlsShowTheSettingsAndTheIdFollowsTheCheckBox) {
    RequireAuthenticatedSender = false;
    TrustedAuthServId = QStringLiteral("mx.example.jp");
    MaxRepliesPerSenderPerHour = 5;
    Open();
    auto* require = Control<QCheckBox>(&dialog, "chkRequireAuthenticatedSender");
    auto* id = Control<QLineEdit>(&dialog, "txtTrustedAuthServId");
    auto* limit = Control<QLineEdit>(&dialog, "txtMaxRepliesPerSenderPerHour");
    EXPECT_EQ(require->text(), QStringLiteral("送信者が認証されたメールにだけ返信する(&A)"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label5")->buddy(), id);
    EXPECT_EQ(Control<QLabel>(&dialog, "Label7")->buddy(), limit);
    for (const char* explanation : {"Label4", "Label6", "Label8"})
        EXPECT_FALSE(Control<QLabel>(&dialog, explanation)->text().isEmpty()) << explanation;
    EXPECT_NE(Control<QFrame>(&dialog, "Line3"), nullptr);
    EXPECT_FALSE(require->isChecked());
    EXPECT_EQ(id->text(), QStringLiteral("mx.example.jp"));
    EXPECT_EQ(limit->text(), QStringLiteral("5"));

    // The id and its labels are enabled exactly while the check box is checked.
    const auto idEnabled = [&] {
        const bool labels = Control<QLabel>(&dialog, "Label5")->isEnabled() &&
                            Control<QLabel>(&dialog, "Label6")->isEnabled();
        EXPECT_EQ(labels, id->isEnabled());
        return id->isEnabled();
    };
    EXPECT_FALSE(idEnabled());
    EXPECT_TRUE(limit->isEnabled());
    QTest::mouseClick(require, Qt::LeftButton, {}, QPoint(4, require->height() / 2));
    EXPECT_TRUE(require->isChecked());
    EXPECT_TRUE(idEnabled());
    QTest::keyClick(require, Qt::Key_Space);
    EXPECT_FALSE(idEnabled());

    // Opened with the option on, the id is enabled from the start.
    RequireAuthenticatedSender = true;
    dialog.reject();
    Open();
    EXPECT_TRUE(require->isChecked());
    EXPECT_TRUE(idEnabled());

    // The limit box selects its text on focus, like the interval.
    Control<QLineEdit>(&dialog, "txtAcceptedLeftSubject")->setFocus();
    limit->deselect();
    QTest::mouseClick(limit, Qt::LeftButton, {}, QPoint(2, limit->height() / 2));
    ASSERT_TRUE(PumpUntilSelected(limit));
    EXPECT_EQ(limit->selectedText(), QStringLiteral("5"));
}

TEST_F(OptionDialogTest, SenderOptionsAreCheckedAndStoredOnlyWhenAllInputIsValid) {
    const struct {
        bool require;
        const char* id;
        const char* limit;
        const QString* error; // nullptr: accepted
        const char* storedId;
        int storedLimit;
    } cases[] = {
        {true, "mx.example.jp", "5", nullptr, "mx.example.jp", 5},
        {true, "  MX.Example.JP ", "0", nullptr, "MX.Example.JP", 0}, // trimmed, case kept
        {true, "\"mx.example.jp\"", "1000", &BadIdError, "", 0},
        {true, "", "5", &NoIdError, "", 0},
        {true, "   ", "5", &NoIdError, "", 0},
        {true, "mx example.jp", "5", &BadIdError, "", 0},
        {true, "mx.example.jp;", "5", &BadIdError, "", 0},
        {true, "mx(1)", "5", &BadIdError, "", 0},
        {true, "mx=1", "5", &BadIdError, "", 0},
        {true, "mx\\1", "5", &BadIdError, "", 0},
        {true, "受信.example.jp", "3", nullptr, "受信.example.jp", 3},
        // Off, the id is not required, and what it holds is kept for later.
        {false, "", "0", nullptr, "", 0},
        {false, "mx.example.jp", "20", nullptr, "mx.example.jp", 20},
        {false, "", "1000", nullptr, "", 1000},
        {false, "", "1001", &LimitError, "", 0},
        {false, "", "-1", &LimitError, "", 0},
        {false, "", "", &LimitError, "", 0},
        {false, "", "five", &LimitError, "", 0},
        {false, "", "99999999999", &LimitError, "", 0},
        {false, "", " 7 ", nullptr, "", 7},
        // Both wrong: the id is named first.
        {true, "", "-1", &NoIdError, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " / " + c.limit);
        UseStartingOptions();
        Open();
        Type(&dialog, "txtMailCheckInterval", QStringLiteral("9"));
        Type(&dialog, "txtAcceptedLeftSubject", QStringLiteral("写真"));
        Control<QCheckBox>(&dialog, "chkMailCheckToDelete")->setChecked(true);
        Control<QCheckBox>(&dialog, "chkRequireAuthenticatedSender")->setChecked(true);
        Type(&dialog, "txtTrustedAuthServId", QString::fromUtf8(c.id));
        Control<QCheckBox>(&dialog, "chkRequireAuthenticatedSender")->setChecked(c.require);
        Type(&dialog, "txtMaxRepliesPerSenderPerHour", QString::fromUtf8(c.limit));
        const size_t before = boxes.Boxes().size();
        Click(&dialog, "cmdOK");
        if (c.error) {
            ExpectRefused(before, *c.error);
            EXPECT_EQ(Control<QLineEdit>(&dialog, "txtTrustedAuthServId")->text(),
                      QString::fromUtf8(c.id));
            // Nothing at all is stored, the options before the refused one included.
            EXPECT_EQ(MailCheckInterval, 5);
            EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("cam"));
            EXPECT_FALSE(DeleteAfterReply);
            EXPECT_FALSE(RequireAuthenticatedSender);
            EXPECT_TRUE(TrustedAuthServId.isEmpty());
            EXPECT_EQ(MaxRepliesPerSenderPerHour, 0);
            dialog.reject();
        } else {
            EXPECT_EQ(boxes.Boxes().size(), before);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(MailCheckInterval, 9);
            EXPECT_EQ(AcceptedLeftSubject, QStringLiteral("写真"));
            EXPECT_TRUE(DeleteAfterReply);
            EXPECT_EQ(RequireAuthenticatedSender, c.require);
            EXPECT_EQ(TrustedAuthServId, QString::fromUtf8(c.storedId));
            EXPECT_EQ(MaxRepliesPerSenderPerHour, c.storedLimit);
        }
    }
}

TEST_F(OptionDialogTest, MotionControlsShowTheSettingsAndTheChoiceFollowsTheCheckBox) {
    ResponseSettings = {Setting("家族"), Setting("友人"), Setting("携帯電話")};
    MotionAlertSetting = QString::fromUtf8("友人");
    MotionSensitivity = 70;
    MotionAlertInterval = 30;
    MotionIgnoreSeconds = 0;
    Open();
    auto* alert = Control<QCheckBox>(&dialog, "chkMotionAlert");
    auto* setting = Control<QComboBox>(&dialog, "cboMotionAlertSetting");
    EXPECT_EQ(alert->text(), QStringLiteral("動きを検知したら写真をメールで知らせる(&M)"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label9")->buddy(), setting);
    const struct {
        const char* label;
        const char* box;
        const char* shown;
    } numbers[] = {{"Label10", "txtMotionSensitivity", "70"},
                   {"Label12", "txtMotionAlertInterval", "30"},
                   {"Label14", "txtMotionIgnoreSeconds", "0"}};
    for (const auto& number : numbers) {
        SCOPED_TRACE(number.box);
        auto* box = Control<QLineEdit>(&dialog, number.box);
        EXPECT_EQ(Control<QLabel>(&dialog, number.label)->buddy(), box);
        EXPECT_EQ(box->text(), QString::fromLatin1(number.shown));
    }
    ASSERT_EQ(setting->count(), 3);
    EXPECT_EQ(setting->itemText(2), QString::fromUtf8("携帯電話"));
    EXPECT_EQ(setting->currentText(), QString::fromUtf8("友人"));

    // The choice and its label are enabled exactly while alerts are on.
    EXPECT_FALSE(alert->isChecked());
    EXPECT_FALSE(setting->isEnabled());
    EXPECT_FALSE(Control<QLabel>(&dialog, "Label9")->isEnabled());
    QTest::mouseClick(alert, Qt::LeftButton, {}, QPoint(4, alert->height() / 2));
    EXPECT_TRUE(setting->isEnabled());
    EXPECT_TRUE(Control<QLabel>(&dialog, "Label9")->isEnabled());

    // A setting that is gone shows as no choice; alerts on, it is enabled from the start.
    dialog.reject();
    MotionAlert = true;
    MotionAlertSetting = QStringLiteral("gone");
    Open();
    EXPECT_TRUE(alert->isChecked());
    EXPECT_TRUE(setting->isEnabled());
    EXPECT_EQ(setting->currentIndex(), -1);

    // With its new rows the dialog still fits a small screen, panel and title bar included.
    dialog.adjustSize();
    EXPECT_LE(dialog.height(), 720 - 100);
    EXPECT_LE(dialog.width(), 1280 - 40);
}

TEST_F(OptionDialogTest, MotionOptionsAreCheckedWithTheFocusOnTheRefusedControl) {
    const struct {
        bool alert;
        int choice; // -1: none
        const char* sensitivity;
        const char* interval;
        const char* ignore;
        const QString* error;   // nullptr: accepted
        const char* refused;    // the control that gets the focus
        const char* storedName; // when accepted, with these numbers
        int stored[3];
    } cases[] = {
        {true, 1, "1", "1", "0", nullptr, "", "友人", {1, 1, 0}},
        {true, 0, "100", "1440", "600", nullptr, "", "家族", {100, 1440, 600}},
        {false, -1, "50", "10", "5", nullptr, "", "", {50, 10, 5}}, // off: no setting needed
        {false, 1, " ７５ ", "3", "30", nullptr, "", "友人", {75, 3, 30}},
        {true, -1, "50", "10", "5", &NoSettingError, "cboMotionAlertSetting", "", {}},
        {true, 0, "0", "10", "5", &SensitivityError, "txtMotionSensitivity", "", {}},
        {false, 0, "101", "10", "5", &SensitivityError, "txtMotionSensitivity", "", {}},
        {true, 0, "much", "10", "5", &SensitivityError, "txtMotionSensitivity", "", {}},
        {true, 0, "50", "0", "5", &AlertIntervalError, "txtMotionAlertInterval", "", {}},
        {true, 0, "50", "1441", "5", &AlertIntervalError, "txtMotionAlertInterval", "", {}},
        {true, 0, "50", "", "5", &AlertIntervalError, "txtMotionAlertInterval", "", {}},
        {true, 0, "50", "10", "-1", &IgnoreError, "txtMotionIgnoreSeconds", "", {}},
        {true, 0, "50", "10", "601", &IgnoreError, "txtMotionIgnoreSeconds", "", {}},
        // Several wrong: the first in the dialog's order is named.
        {true, -1, "0", "0", "-1", &NoSettingError, "cboMotionAlertSetting", "", {}},
        {true, 0, "0", "0", "-1", &SensitivityError, "txtMotionSensitivity", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sensitivity) + " / " + c.interval + " / " + c.ignore);
        UseStartingOptions();
        ResponseSettings = {Setting("家族"), Setting("友人")};
        Open();
        Type(&dialog, "txtMailCheckInterval", QStringLiteral("9"));
        Control<QCheckBox>(&dialog, "chkMotionAlert")->setChecked(c.alert);
        Control<QComboBox>(&dialog, "cboMotionAlertSetting")->setCurrentIndex(c.choice);
        Type(&dialog, "txtMotionSensitivity", QString::fromUtf8(c.sensitivity));
        Type(&dialog, "txtMotionAlertInterval", QString::fromUtf8(c.interval));
        Type(&dialog, "txtMotionIgnoreSeconds", QString::fromUtf8(c.ignore));
        Control<QLineEdit>(&dialog, "txtAcceptedLeftSubject")->setFocus();
        const size_t before = boxes.Boxes().size();
        Click(&dialog, "cmdOK");
        if (c.error) {
            ExpectRefused(before, *c.error);
            EXPECT_TRUE(Control<QWidget>(&dialog, c.refused)->hasFocus());
            // Nothing at all is stored.
            EXPECT_EQ(MailCheckInterval, 5);
            EXPECT_FALSE(MotionAlert);
            EXPECT_TRUE(MotionAlertSetting.isEmpty());
            EXPECT_EQ(MotionSensitivity, 50);
            EXPECT_EQ(MotionAlertInterval, 10);
            EXPECT_EQ(MotionIgnoreSeconds, 5);
            dialog.reject();
        } else {
            EXPECT_EQ(boxes.Boxes().size(), before);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(MailCheckInterval, 9);
            EXPECT_EQ(MotionAlert, c.alert);
            EXPECT_EQ(MotionAlertSetting, QString::fromUtf8(c.storedName));
            EXPECT_EQ(MotionSensitivity, c.stored[0]);
            EXPECT_EQ(MotionAlertInterval, c.stored[1]);
            EXPECT_EQ(MotionIgnoreSeconds, c.stored[2]);
        }
    }
}
