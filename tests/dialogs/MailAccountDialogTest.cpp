#include "settings/ProgramObjects.h"
#include "tests/dialogs/MailAccountDriving.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

namespace {

const char* const TextBoxes[] = {"txtName",     "txtMailAddr", "txtUserName",
                                 "txtPassword", "txtPOP",      "txtPOPPort",
                                 "txtSMTP",     "txtSMTPPort", "txtTimeout"};

CMailAccount ValidAccount() {
    CMailAccount account = LocalMailAccount();
    account.POPPort = 1110;
    account.SMTPPort = 1025;
    account.APOP = 1;
    account.Timeout = 45;
    return account;
}

using MailAccountDialogTest = MailAccountDialogFixture;

} // namespace

TEST_F(MailAccountDialogTest, ControlsCarryTheirNamesCaptionsAndTheAccount) {
    Open(ValidAccount());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("メールアカウント"));
    EXPECT_EQ(Control<QLabel>(&dialog, "Label12")->text(),
              AppTitle() + QStringLiteral("でのみ使用するメールアカウントを使用してください"));
    const struct {
        const char* label;
        const char* caption;
        const char* buddy;
    } labels[] = {
        {"Label1", "アカウント名(&N)", "txtName"},
        {"Label9", "メールアドレス(&M)", "txtMailAddr"},
        {"Label2", "ユーザー名(&U)", "txtUserName"},
        {"Label3", "パスワード(&P)", "txtPassword"},
        {"Label21", "受信方式(&I)", "cboMailProtocol"},
        {"Label22", "フォルダ(&F)", "txtIMAPFolder"},
        {"Label4", "受信サーバー(&O)", "txtPOP"},
        {"Label5", "ポート(&R)", "txtPOPPort"},
        {"Label6", "&APOP", "chkAPOP"},
        {"Label7", "&SMTPホスト", "txtSMTP"},
        {"Label8", "SMTPポート(&T)", "txtSMTPPort"},
        {"Label10", "タイムアウト", "txtTimeout"},
    };
    for (const auto& l : labels) {
        auto* label = Control<QLabel>(&dialog, l.label);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(l.caption));
        EXPECT_EQ(label->buddy(), Control<QWidget>(&dialog, l.buddy)) << l.label;
    }
    EXPECT_EQ(Control<QLabel>(&dialog, "Label11")->text(), QStringLiteral("秒"));
    EXPECT_EQ(Control<QCheckBox>(&dialog, "chkAPOP")->text(), QStringLiteral("MD5"));
    EXPECT_TRUE(Control<QCheckBox>(&dialog, "chkAPOP")->isChecked());
    EXPECT_NE(Control<QGroupBox>(&dialog, "Frame1"), nullptr);
    EXPECT_NE(Control<QFrame>(&dialog, "Line3"), nullptr);
    EXPECT_NE(Control<QFrame>(&dialog, "Line4"), nullptr);
    EXPECT_TRUE(Control<QPushButton>(&dialog, "Command1(0)")->isDefault());
    EXPECT_EQ(Control<QPushButton>(&dialog, "Command1(1)")->text(), QStringLiteral("キャンセル"));

    // Texts as they are, the password in clear text but shown masked, numbers in decimal.
    EXPECT_EQ(Text("txtPassword"), QStringLiteral("secret"));
    EXPECT_EQ(Control<QLineEdit>(&dialog, "txtPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Control<QLineEdit>(&dialog, "txtPassword")->displayText(), QStringLiteral("******"));
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("1110"));
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("1025"));
    EXPECT_EQ(Text("txtTimeout"), QStringLiteral("45"));

    // A new account shows the defaults.
    Open(CMailAccount());
    EXPECT_EQ(Text("txtName"), QString());
    EXPECT_EQ(Text("txtPOPPort"), QStringLiteral("110"));
    EXPECT_EQ(Text("txtSMTPPort"), QStringLiteral("25"));
    EXPECT_EQ(Text("txtTimeout"), QStringLiteral("30"));
    EXPECT_FALSE(Control<QCheckBox>(&dialog, "chkAPOP")->isChecked());
}

// From a valid account, the boxes typed as listed; the first fault in the table's order is the
// one reported.
TEST_F(MailAccountDialogTest, TheFirstFaultInOrderIsReportedAndTheDialogStaysOpen) {
    const struct {
        std::vector<std::pair<const char*, const char*>> typed;
        const char* message; // nullptr: accepted
    } cases[] = {
        {{{"txtName", ""}}, "アカウント名が入力されていません"},
        {{{"txtMailAddr", ""}}, "メールアドレスが入力されていません"},
        {{{"txtUserName", ""}}, "ユーザー名が入力されていません"},
        {{{"txtPassword", ""}}, "パスワードが入力されていません"},
        {{{"txtPOP", ""}}, "POP3が入力されていません"},
        {{{"txtPOPPort", "0"}}, "POP3ポート値が不正です"},
        {{{"txtPOPPort", "-110"}}, "POP3ポート値が不正です"},
        {{{"txtPOPPort", "abc"}}, "POP3ポート値が不正です"},
        {{{"txtPOPPort", "65536"}}, "POP3ポート値が不正です"},
        {{{"txtPOPPort", "99999999999"}}, "POP3ポート値が不正です"},
        {{{"txtSMTP", ""}}, "SMTPが入力されていません"},
        {{{"txtSMTPPort", ""}}, "SMTPポート値が不正です"},
        {{{"txtSMTPPort", "70000"}}, "SMTPポート値が不正です"},
        {{{"txtTimeout", "-1"}}, "タイムアウト値が不正です"},
        {{{"txtTimeout", "－１"}}, "タイムアウト値が不正です"},
        {{{"txtPOPPort", "1"}, {"txtSMTPPort", "65535"}}, nullptr},
        {{{"txtTimeout", "0"}}, nullptr},
        {{{"txtTimeout", "abc"}}, nullptr},
        {{{"txtName", " "}}, nullptr},
        {{{"txtTimeout", "-1"}, {"txtSMTP", ""}, {"txtPOPPort", "0"}}, "POP3ポート値が不正です"},
        {{{"txtTimeout", "-5"}, {"txtSMTPPort", "0"}, {"txtPassword", ""}, {"txtMailAddr", ""}},
         "メールアドレスが入力されていません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message ? c.message : "accepted");
        Open(ValidAccount());
        for (const auto& [box, text] : c.typed)
            Type(&dialog, box, QString::fromUtf8(text));
        const size_t before = boxes.Boxes().size();
        Click(&dialog, "Command1(0)");
        if (c.message != nullptr) {
            ASSERT_EQ(boxes.Boxes().size(), before + 1);
            EXPECT_EQ(boxes.Boxes().back().text, QString::fromUtf8(c.message));
            EXPECT_EQ(boxes.Boxes().back().icon, MsgIcon::Exclamation);
            EXPECT_EQ(boxes.Boxes().back().title, AppTitle());
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_FALSE(dialog.DialogAccepted());
            EXPECT_FALSE(dialog.EditedMailAccount().has_value());
            for (const auto& [box, text] : c.typed)
                EXPECT_EQ(Text(box), QString::fromUtf8(text)); // the input stays
            dialog.reject();
        } else {
            EXPECT_EQ(boxes.Boxes().size(), before);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_TRUE(dialog.DialogAccepted());
            EXPECT_TRUE(dialog.EditedMailAccount().has_value());
        }
    }
}

TEST_F(MailAccountDialogTest, AnAcceptedOkBuildsANewAccountFromTheInputAsTyped) {
    Open(ValidAccount());
    Type(&dialog, "txtName", QStringLiteral(" 自宅 "));
    Type(&dialog, "txtPassword", QStringLiteral("p a s"));
    Type(&dialog, "txtPOPPort", QStringLiteral("９９５")); // as an input method types it
    Type(&dialog, "txtSMTPPort", QStringLiteral("586.5")); // rounds to even
    Type(&dialog, "txtTimeout", QStringLiteral("x"));
    Control<QCheckBox>(&dialog, "chkAPOP")->setChecked(false);
    QTest::keyClick(Control<QLineEdit>(&dialog, "txtTimeout"), Qt::Key_Return);
    ASSERT_TRUE(dialog.DialogAccepted());
    const CMailAccount& account = *dialog.EditedMailAccount();
    EXPECT_EQ(account.Name, QStringLiteral(" 自宅 "));
    EXPECT_EQ(account.MailAddr, QStringLiteral("camera@example.jp"));
    EXPECT_EQ(account.UserName, QStringLiteral("camera"));
    EXPECT_EQ(account.Password, QStringLiteral("p a s"));
    EXPECT_EQ(account.POPHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(account.POPPort, 995);
    EXPECT_EQ(account.SMTPPort, 586);
    EXPECT_EQ(account.APOP, 0);
    EXPECT_EQ(account.Timeout, 0);

    // Reopening forgets the earlier result.
    dialog.Loadset(ValidAccount());
    EXPECT_FALSE(dialog.DialogAccepted());
    EXPECT_FALSE(dialog.EditedMailAccount().has_value());
    Open(ValidAccount());
    Type(&dialog, "txtTimeout", QStringLiteral("３０"));
    Click(&dialog, "Command1(0)");
    ASSERT_TRUE(dialog.DialogAccepted());
    EXPECT_EQ(dialog.EditedMailAccount()->Timeout, 30);
}

TEST_F(MailAccountDialogTest, CancelLeavesTheResultEmptyAndTheCurrentAccountUntouched) {
    CurrentMailAccount = ValidAccount();
    for (const bool byEsc : {false, true}) {
        WhenModalOpens driver("frmDlgMailAccount", [&](QWidget* shown) {
            Type(shown, "txtName", QStringLiteral("changed"));
            Type(shown, "txtTimeout", QStringLiteral("99"));
            if (byEsc)
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                Click(shown, "Command1(1)");
        });
        frmDlgMailAccount modal;
        EXPECT_FALSE(modal.DlgLoad(CurrentMailAccount));
        EXPECT_TRUE(driver.Ran());
        EXPECT_FALSE(modal.DialogAccepted());
        EXPECT_FALSE(modal.EditedMailAccount().has_value());
        EXPECT_EQ(CurrentMailAccount.Name, QStringLiteral("カメラ"));
        EXPECT_EQ(CurrentMailAccount.Timeout, 45);
    }
    CurrentMailAccount = CMailAccount();
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MailAccountDialogTest, EveryTextBoxSelectsItsTextOnFocus) {
    Open(ValidAccount());
    for (const char* name : TextBoxes) {
        SCOPED_TRACE(name);
        auto* box = Control<QLineEdit>(&dialog, name);
        box->deselect();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
        EXPECT_TRUE(PumpUntilSelected(box));
    }
}

TEST_F(MailAccountDialogTest, FitsAScreenOf1280By720) {
    Open(ValidAccount());
    dialog.adjustSize();
    // Room is left for a panel and the title bar.
    EXPECT_LE(dialog.height(), 720 - 100);
    EXPECT_LE(dialog.width(), 1280 - 40);
}
