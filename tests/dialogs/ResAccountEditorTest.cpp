#include "dialogs/frmDlgResAccount.h"

#include "platform/Clock.h"
#include "settings/ProgramObjects.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/ScopedHook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

CResAccount Setting(const QString& name, const QStringList& addresses) {
    CResAccount setting;
    setting.Name = name;
    setting.vAcceptedMailAddrs = addresses;
    return setting;
}

class ResAccountEditorTest : public ::testing::Test {
  protected:
    ResAccountEditorTest() {
        ResponseSettings = {Setting(QStringLiteral("家族"), {QStringLiteral("mother@example.jp")}),
                            Setting(QStringLiteral("友人"), {QStringLiteral("friend@example.jp"),
                                                             QStringLiteral("other@example.jp")})};
    }
    ~ResAccountEditorTest() override { ResetProgramObjects(); }

    void OpenNew() {
        editor.LoadNew();
        ASSERT_TRUE(ShowActive(&editor));
    }
    void OpenExisting(int position) {
        editor.LoadExisting(ResponseSettings[position - 1], position);
        ASSERT_TRUE(ShowActive(&editor));
    }
    void SetAddresses(const QString& text) {
        Control<QPlainTextEdit>(&editor, "txtAcceptedMailAddrs")->setPlainText(text);
    }
    QCheckBox* Check(const char* name) { return Control<QCheckBox>(&editor, name); }
    QComboBox* Combo(const char* name) { return Control<QComboBox>(&editor, name); }
    bool Enabled(const char* name) { return Control<QWidget>(&editor, name)->isEnabled(); }
    // OK; answers the message shown, or "" when the editor closed accepted.
    QString PressOK() {
        const size_t before = boxes.Boxes().size();
        Click(&editor, "Command1(0)");
        if (boxes.Boxes().size() == before) {
            EXPECT_FALSE(editor.isVisible());
            EXPECT_TRUE(editor.DialogAccepted());
            return QString();
        }
        EXPECT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(boxes.Boxes().back().title, AppTitle());
        EXPECT_TRUE(editor.isVisible());
        EXPECT_FALSE(editor.DialogAccepted());
        return boxes.Boxes().back().text;
    }

    MsgBoxRecorder boxes;
    frmDlgResAccount editor;
};

} // namespace

TEST_F(ResAccountEditorTest, ANewSettingTakesTheFirstFreeNumberAndTheEditorDefaults) {
    ResponseSettings.push_back(Setting(QStringLiteral("新しい設定1"), {}));
    ResponseSettings.push_back(Setting(QStringLiteral("新しい設定3"), {}));
    OpenNew();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("返信アカウント"));
    EXPECT_EQ(Control<QLineEdit>(&editor, "txtName")->text(), QStringLiteral("新しい設定2"));
    EXPECT_FALSE(Check("chkDoReduction")->isChecked());
    EXPECT_EQ(Control<QLineEdit>(&editor, "txtReductionWidth")->text(), QStringLiteral("100"));
    EXPECT_EQ(Control<QLineEdit>(&editor, "txtReductionWidth")->maxLength(), 5);
    EXPECT_FALSE(Check("chkReduction")->isChecked());
    EXPECT_EQ(Combo("cmbRotation")->currentIndex(), 0);
    EXPECT_FALSE(Check("chk256Color")->isChecked());
    EXPECT_EQ(Combo("cmbFormat")->currentIndex(), 0);
    EXPECT_FALSE(Check("chkProgressive")->isChecked());
    EXPECT_EQ(Control<QScrollBar>(&editor, "hscCompression")->value(), 0);
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("0%"));
    EXPECT_TRUE(Control<QPlainTextEdit>(&editor, "txtAcceptedMailAddrs")->toPlainText().isEmpty());

    QStringList rotations, formats;
    for (int i = 0; i < Combo("cmbRotation")->count(); ++i)
        rotations << Combo("cmbRotation")->itemText(i);
    for (int i = 0; i < Combo("cmbFormat")->count(); ++i)
        formats << Combo("cmbFormat")->itemText(i);
    EXPECT_EQ(rotations, (QStringList{"なし", "90度", "180度", "270度"}));
    EXPECT_EQ(formats, (QStringList{"JPEG", "PNG", "GIF"}));

    const struct {
        const char* name;
        const char* caption;
    } captions[] = {
        {"chkDoReduction", "縮小する(&D)"},
        {"chkReduction", "スムース縮小"},
        {"chk256Color", "256色に減色(&D)"},
        {"chkProgressive", "プログレッシブ(&P)"},
        {"lblReductionWidth", "横幅(&W)"},
        {"lblCompressionTitle", "圧縮率(&M)"},
        {"lblMoreCompression", "高圧縮→"},
        {"lblName", "設定名(&N)"},
        {"lblRotation", "回転(&R):"},
        {"lblColor", "色(&C):"},
        {"lblHeading", "キャプチャしたイメージの自動編集の設定"},
        {"lblAcceptedMailAddrs", "自動返信を許可するメールアドレス(&A)\n(改行で追加できます)"},
        {"fraReduction", "縮小(&E)"},
        {"fraFormat", "フォーマット(&F)"},
        {"cmdApplyImageInfo", "この設定を適用したときのイメージ情報(I)..."},
        {"Command1(0)", "OK"},
        {"Command1(1)", "キャンセル"},
    };
    for (const auto& c : captions) {
        QWidget* control = Control<QWidget>(&editor, c.name);
        ASSERT_NE(control, nullptr);
        const QVariant text =
            control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text");
        EXPECT_EQ(text.toString(), QString::fromUtf8(c.caption)) << c.name;
    }
    EXPECT_EQ(Control<QPlainTextEdit>(&editor, "txtAcceptedMailAddrs")->font().family(),
              QStringLiteral("ＭＳ ゴシック"));
}

TEST_F(ResAccountEditorTest, WithAllTenThousandNumbersTakenTheNameHasNone) {
    for (int n = 1; n <= 10000; ++n)
        ResponseSettings.push_back(Setting(QStringLiteral("新しい設定") + QString::number(n), {}));
    OpenNew();
    EXPECT_EQ(Control<QLineEdit>(&editor, "txtName")->text(), QStringLiteral("新しい設定"));
}

// The checks in their order, from a new setting with one good address; each case changes the
// fields it lists.
TEST_F(ResAccountEditorTest, EveryCheckShowsItsMessageInOrder) {
    const QString widthError = QStringLiteral("縮小サイズが不正です");
    const QString usedError = QStringLiteral("その設定名は既に使用されています");
    const struct {
        const char* name;  // nullptr: as proposed
        const char* width; // nullptr: as proposed
        bool reduce;
        const char* addresses;
        QString message; // empty: accepted
    } cases[] = {
        {"家族", nullptr, false, "a@example.jp", usedError},
        {" 家族 ", nullptr, false, "a@example.jp", usedError},
        {"", nullptr, false, "a@example.jp", QStringLiteral("設定名が入力されていません")},
        {"   ", nullptr, false, "a@example.jp", QStringLiteral("設定名が入力されていません")},
        {"家族 ", "0", false, "", usedError}, // the name first
        {nullptr, "0", false, "a@example.jp", widthError},
        {nullptr, "0", true, "a@example.jp", widthError},
        {nullptr, "abc", false, "a@example.jp", widthError},
        {nullptr, "", false, "a@example.jp", widthError},
        {nullptr, "-5", true, "a@example.jp", widthError},
        {nullptr, "0.4", true, "a@example.jp", widthError},
        {nullptr, "abc", false, "", widthError},
        {nullptr, nullptr, false, "", QStringLiteral("返信を許可するメールアドレスが不正です")},
        {nullptr, nullptr, false, "new@example.jp\nfriend@example.jp",
         QStringLiteral("重複したメールアドレスが使用されています\r\n\"friend@example.jp\"")},
        {nullptr, nullptr, false, "  mother@example.jp\t",
         QStringLiteral("重複したメールアドレスが使用されています\r\n\"mother@example.jp\"")},
        {nullptr, nullptr, false, "Mother@example.jp", QString()},
        {nullptr, nullptr, false, "\n\n", QString()},
        {"友人2", "12.5", false, "a@example.jp", QString()},
        {"友人2", "99999", true, "a@example.jp", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name ? c.name : "-") + " / " + (c.width ? c.width : "-") +
                     " / " + c.addresses);
        OpenNew();
        if (c.name != nullptr)
            Type(&editor, "txtName", QString::fromUtf8(c.name));
        // Typed while reduction is on; the box keeps its text when it is switched off.
        Check("chkDoReduction")->setChecked(true);
        if (c.width != nullptr)
            Type(&editor, "txtReductionWidth", QString::fromUtf8(c.width));
        Check("chkDoReduction")->setChecked(c.reduce);
        SetAddresses(QString::fromUtf8(c.addresses));
        EXPECT_EQ(PressOK(), c.message);
        if (!c.message.isEmpty())
            editor.reject();
    }
    EXPECT_EQ(ResponseSettings.size(), 2u); // the editor stores nothing itself
}

TEST_F(ResAccountEditorTest, AnUnknownRotationOrFormatIsRefused) {
    CResAccount broken = Setting(QStringLiteral("壊れた"), {QStringLiteral("x@example.jp")});
    broken.RotationType = 4;
    broken.FormatType = 3;
    ResponseSettings.push_back(broken);
    OpenExisting(3);
    EXPECT_EQ(PressOK(), QStringLiteral("回転角度が不正です"));
    Combo("cmbRotation")->setCurrentIndex(3);
    EXPECT_EQ(PressOK(), QStringLiteral("フォーマットの種類が不正です"));
    Combo("cmbFormat")->setCurrentIndex(1);
    EXPECT_EQ(PressOK(), QString());
    EXPECT_EQ(editor.EditedResponseSetting().RotationType, 3);
    EXPECT_EQ(editor.EditedResponseSetting().FormatType, 1);
}

TEST_F(ResAccountEditorTest, TheAcceptedSettingIsBuiltFromTheControls) {
    OpenNew();
    Type(&editor, "txtName", QStringLiteral("  庭のカメラ "));
    Check("chkDoReduction")->setChecked(true);
    Type(&editor, "txtReductionWidth", QStringLiteral("１３．５")); // as an input method types it
    Check("chkReduction")->setChecked(true);
    Combo("cmbRotation")->setCurrentIndex(2);
    Check("chk256Color")->setChecked(true);
    Check("chkProgressive")->setChecked(true);
    Control<QScrollBar>(&editor, "hscCompression")->setValue(35);
    SetAddresses(QStringLiteral(" a@example.jp \n\n\tb@exa\tmple.jp\na@example.jp\n   "));
    EXPECT_EQ(PressOK(), QString());
    const CResAccount& setting = editor.EditedResponseSetting();
    EXPECT_EQ(setting.Name, QStringLiteral("庭のカメラ"));
    EXPECT_EQ(setting.DoReduction, 1);
    EXPECT_EQ(setting.ReductionWidth, 14);
    EXPECT_EQ(setting.ReductionType, 1);
    EXPECT_EQ(setting.RotationType, 2);
    EXPECT_EQ(setting.ColorBit, 8);
    EXPECT_EQ(setting.FormatType, 0);
    EXPECT_EQ(setting.JPEGProgressive, 1);
    EXPECT_EQ(setting.JPEGCompression, 35);
    EXPECT_EQ(setting.vAcceptedMailAddrs,
              ParamValue(QStringList{"a@example.jp", "b@example.jp", "a@example.jp"}));
    EXPECT_TRUE(setting.SendMail_Subject.isEmpty());

    // Blank lines only: a setting without addresses. A half rounds to the even width.
    OpenNew();
    Check("chkDoReduction")->setChecked(true);
    Type(&editor, "txtReductionWidth", QStringLiteral("12.5"));
    SetAddresses(QStringLiteral(" \n\t\n"));
    EXPECT_EQ(PressOK(), QString());
    EXPECT_EQ(editor.EditedResponseSetting().vAcceptedMailAddrs, ParamValue(QString()));
    EXPECT_EQ(editor.EditedResponseSetting().ReductionWidth, 12);
}

TEST_F(ResAccountEditorTest, EditingKeepsTheHiddenFieldsAndItsOwnAddressesAndName) {
    ResponseSettings[1].SendMail_Subject = QStringLiteral("写真です");
    ResponseSettings[1].SendMail_Body = QStringLiteral("どうぞ");
    ResponseSettings[1].FormatType = 1;
    ResponseSettings[1].JPEGCompression = 60;
    OpenExisting(2);
    EXPECT_EQ(Control<QPlainTextEdit>(&editor, "txtAcceptedMailAddrs")->toPlainText(),
              QStringLiteral("friend@example.jp\nother@example.jp"));
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("60%"));
    EXPECT_EQ(PressOK(), QString()); // its own name and addresses are no duplicates
    EXPECT_EQ(editor.EditedResponseSetting().SendMail_Subject, QStringLiteral("写真です"));
    EXPECT_EQ(editor.EditedResponseSetting().SendMail_Body, QStringLiteral("どうぞ"));
    EXPECT_EQ(editor.EditedResponseSetting().FormatType, 1);

    // A rename to another setting's name, or an address of the other setting, is refused.
    OpenExisting(2);
    Type(&editor, "txtName", QStringLiteral("家族"));
    EXPECT_EQ(PressOK(), QStringLiteral("その設定名は既に使用されています"));
    Type(&editor, "txtName", QStringLiteral("友人たち"));
    SetAddresses(QStringLiteral("friend@example.jp\nmother@example.jp"));
    EXPECT_EQ(PressOK(),
              QStringLiteral("重複したメールアドレスが使用されています\r\n\"mother@example.jp\""));
    SetAddresses(QStringLiteral("friend@example.jp"));
    EXPECT_EQ(PressOK(), QString());
    EXPECT_EQ(editor.EditedResponseSetting().Name, QStringLiteral("友人たち"));
}

TEST_F(ResAccountEditorTest, EnablingRulesFollowReductionAndFormat) {
    OpenNew();
    const char* const reductionControls[] = {"chkReduction", "lblReductionWidth",
                                             "txtReductionWidth"};
    const char* const jpegControls[] = {"chkProgressive", "lblCompressionTitle",
                                        "lblMoreCompression", "hscCompression", "lblCompression"};
    for (const char* name : reductionControls)
        EXPECT_FALSE(Enabled(name)) << name; // a new setting does not reduce
    QTest::mouseClick(Check("chkDoReduction"), Qt::LeftButton);
    for (const char* name : reductionControls)
        EXPECT_TRUE(Enabled(name)) << name;
    for (const char* name : jpegControls)
        EXPECT_TRUE(Enabled(name)) << name;

    Combo("cmbFormat")->setCurrentIndex(2); // GIF
    EXPECT_TRUE(Check("chk256Color")->isChecked());
    EXPECT_FALSE(Enabled("chk256Color"));
    for (const char* name : jpegControls)
        EXPECT_FALSE(Enabled(name)) << name;
    Combo("cmbFormat")->setCurrentIndex(1); // PNG
    EXPECT_TRUE(Check("chk256Color")->isChecked());
    EXPECT_TRUE(Enabled("chk256Color"));
    for (const char* name : jpegControls)
        EXPECT_FALSE(Enabled(name)) << name;
    Check("chk256Color")->setChecked(false);
    Combo("cmbFormat")->setCurrentIndex(0); // JPEG
    EXPECT_FALSE(Check("chk256Color")->isChecked());
    for (const char* name : jpegControls)
        EXPECT_TRUE(Enabled(name)) << name;

    auto* compression = Control<QScrollBar>(&editor, "hscCompression");
    compression->setValue(20);
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("20%"));
    compression->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("21%"));

    // A stored GIF setting opens with 256 colours checked and locked.
    CResAccount gif = Setting(QStringLiteral("gif"), {QStringLiteral("g@example.jp")});
    gif.FormatType = 2;
    gif.ColorBit = 24;
    gif.DoReduction = 1;
    ResponseSettings.push_back(gif);
    OpenExisting(3);
    EXPECT_TRUE(Check("chk256Color")->isChecked());
    EXPECT_FALSE(Enabled("chk256Color"));
    EXPECT_TRUE(Enabled("txtReductionWidth"));
    EXPECT_FALSE(Enabled("hscCompression"));
    EXPECT_EQ(PressOK(), QString());
    EXPECT_EQ(editor.EditedResponseSetting().ColorBit, 8);
}

TEST_F(ResAccountEditorTest, EveryControlIsReachedAndWorkedFromTheKeyboard) {
    OpenNew();
    const auto focused = [] { return QApplication::focusWidget(); };
    // Tab leaves the address box for the buttons, typing nothing into it.
    auto* addresses = Control<QPlainTextEdit>(&editor, "txtAcceptedMailAddrs");
    addresses->setFocus();
    QTest::keyClick(addresses, Qt::Key_Tab);
    EXPECT_EQ(addresses->toPlainText(), QString());
    EXPECT_EQ(focused(), Control<QPushButton>(&editor, "cmdApplyImageInfo"));
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), Control<QPushButton>(&editor, "Command1(0)"));
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), Control<QPushButton>(&editor, "Command1(1)"));

    // 圧縮率(&M) reaches the scroll bar, and the arrow keys move it.
    QTest::keyClick(&editor, Qt::Key_M, Qt::AltModifier);
    ASSERT_EQ(focused(), Control<QScrollBar>(&editor, "hscCompression"));
    QTest::keyClick(focused(), Qt::Key_Right);
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("1%"));
    QTest::keyClick(focused(), Qt::Key_PageDown);
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("11%"));
    QTest::keyClick(focused(), Qt::Key_Home);
    EXPECT_EQ(Control<QLabel>(&editor, "lblCompression")->text(), QStringLiteral("0%"));

    // 色(&C) moves to the check box without changing it; Space then does.
    QTest::keyClick(&editor, Qt::Key_C, Qt::AltModifier);
    ASSERT_EQ(focused(), Check("chk256Color"));
    EXPECT_FALSE(Check("chk256Color")->isDown()); // not on its way to a click
    EXPECT_FALSE(Check("chk256Color")->isChecked());
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_TRUE(Check("chk256Color")->isChecked());
}

TEST_F(ResAccountEditorTest, BeforeJuly2004TheFormatListHasNoGif) {
    ScopedHook<LocalClock> clock(SetLocalClock,
                                 [] { return QDateTime(QDate(2004, 6, 30), QTime(23, 59, 59)); });
    frmDlgResAccount early;
    auto* formats = Control<QComboBox>(&early, "cmbFormat");
    EXPECT_EQ(formats->count(), 2);
    EXPECT_EQ(formats->itemText(1), QStringLiteral("PNG"));
}

TEST_F(ResAccountEditorTest, TheNameAndWidthBoxesSelectTheirTextOnFocus) {
    OpenNew();
    Check("chkDoReduction")->setChecked(true);
    for (const char* name : {"txtName", "txtReductionWidth"}) {
        SCOPED_TRACE(name);
        auto* box = Control<QLineEdit>(&editor, name);
        box->deselect();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
        EXPECT_TRUE(PumpUntilSelected(box));
    }
}

TEST_F(ResAccountEditorTest, CancelAndEscReportNothing) {
    for (const bool byEsc : {false, true}) {
        WhenModalOpens driver("frmDlgResAccount", [&](QWidget* shown) {
            Type(shown, "txtName", QStringLiteral("changed"));
            if (byEsc)
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                Click(shown, "Command1(1)");
        });
        frmDlgResAccount modal;
        EXPECT_FALSE(modal.DlgLoad(ResponseSettings[0], 1));
        EXPECT_TRUE(driver.Ran());
        EXPECT_FALSE(modal.DialogAccepted());
    }
    EXPECT_EQ(ResponseSettings[0].Name, QStringLiteral("家族"));
    EXPECT_TRUE(boxes.Boxes().empty());
}
