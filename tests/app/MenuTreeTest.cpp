#include "tests/app/MainWindowFixture.h"

#include "log/WriteLog.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>

namespace {

struct MenuTreeTest : MainWindowFixture {
    void SetUp() override {
        Start({std::make_shared<TestCaptureDriver>("Camera A"),
               std::make_shared<TestCaptureDriver>("Camera B")});
    }
};

} // namespace

TEST_F(MenuTreeTest, EveryItemHasItsCaptionShortcutAndNameInOrder) {
    const struct {
        const char* name;
        const char* caption; // "-": a separator
        const char* shortcut;
    } tree[] = {
        {"mnuDevice", "デバイス(&D)", ""},
        {"mnuDevice_VideoFormat", "ビデオフォーマット(&F)...", "Ctrl+F"},
        {"mnuDevice_VideoSource", "ビデオソース(&S)...", "Ctrl+S"},
        {"mnuDevice_1", "-", ""},
        {"mnuDevice_Drivers_0", "", ""},
        {"mnuDevice_Drivers_1", "Camera A", ""},
        {"mnuDevice_Drivers_2", "Camera B", ""},
        {"mnuSetting", "設定(&O)", ""},
        {"mnuSetting_MailAccount", "メールアカウント(&M)...", "Ctrl+A"},
        {"mnuSetting_ResAccountList", "返信アカウント(&R)...", "Ctrl+R"},
        {"mnuSetting_1", "-", ""},
        {"mnuSetting_Option", "オプション(&O)...", "Ctrl+O"},
        {"mnuTest", "テスト(&T)", ""},
        {"mnuTest_MailCheck", "メールチェック&&返信(&M)", "Ctrl+M"},
        {"mnuHelp", "ヘルプ(&H)", ""},
        {"mnuHelp_ReadMe", "&ReadMe", ""},
        {"mnuHelp_ToHelp", "ヘルプへ(&H)", ""},
        {"mnuHelp_Homepage", "ホームページへ(&P)", ""},
        {"mnuHelp_1", "-", ""},
        {"mnuHelp_About", "バージョン情報(&A)...", ""},
    };
    // The menu bar's items, each menu followed by its own.
    QList<QAction*> shown;
    for (QAction* menu : form->menuBar()->actions()) {
        shown.append(menu);
        shown.append(menu->menu()->actions());
    }
    ASSERT_EQ(shown.size(), std::size(tree));
    for (size_t i = 0; i < std::size(tree); ++i) {
        const auto& expected = tree[i];
        QAction* item = shown[static_cast<qsizetype>(i)];
        EXPECT_EQ(item->objectName(), QString::fromLatin1(expected.name)) << i;
        EXPECT_EQ(item, Item(expected.name)) << expected.name;
        if (QString::fromUtf8(expected.caption) == QStringLiteral("-")) {
            EXPECT_TRUE(item->isSeparator()) << expected.name;
            continue;
        }
        EXPECT_FALSE(item->isSeparator()) << expected.name;
        EXPECT_EQ(item->text(), QString::fromUtf8(expected.caption)) << expected.name;
        EXPECT_EQ(item->shortcut(), QKeySequence(QString::fromLatin1(expected.shortcut)))
            << expected.name;
    }
    EXPECT_FALSE(Item("mnuDevice_Drivers_0")->isVisible());
    EXPECT_TRUE(Item("mnuDevice_Drivers_1")->isChecked());
    EXPECT_FALSE(Item("mnuDevice_Drivers_2")->isChecked());
}

TEST_F(MenuTreeTest, TheMailCheckCaptionShowsOneAmpersandAndKeepsItsAccessKey) {
    QAction* item = Item("mnuTest_MailCheck");
    ASSERT_NE(item, nullptr);
    // What the menu draws: access-key marks gone, "&&" as one ampersand.
    EXPECT_EQ(item->iconText(), QStringLiteral("メールチェック&返信(M)"));
    EXPECT_EQ(QKeySequence::mnemonic(item->text()), QKeySequence(Qt::ALT | Qt::Key_M));
}

TEST_F(MenuTreeTest, TheShortcutRunsTheMailCheckOnce) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(checks, 1);
}

TEST_F(MenuTreeTest, TheStatusLineShowsTheLatestLogLineAndKeepsIt) {
    auto* label = form->findChild<QLabel*>(QStringLiteral("lblInformation"));
    ASSERT_NE(label, nullptr);
    WriteLog(QStringLiteral("接続しました"));
    WriteLog(QStringLiteral("メールはありません"));
    static const QRegularExpression line(
        QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d  メールはありません$"));
    EXPECT_TRUE(line.match(label->text()).hasMatch()) << label->text().toStdString();
    const QString shown = label->text();
    form->Capture_Resize();
    EXPECT_EQ(label->text(), shown);
    EXPECT_TRUE(folder.Read(QStringLiteral("options/main.log")).endsWith("\r\n"));
}
