#include "app/AppInfo.h"
#include "platform/ProgramFolder.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/app/RecordingShell.h"
#include "tests/support/BuiltProgramFolder.h"
#include "tests/support/ScopedHook.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct HelpCommandsTest : MainWindowFixture {
    RecordingShell shell;
    void SetUp() override { Start({std::make_shared<TestCaptureDriver>("Camera A")}); }
};

} // namespace

TEST_F(HelpCommandsTest, EachCommandOpensItsTargetWithoutWaiting) {
    const struct {
        const char* item;
        QString target;
    } commands[] = {
        {"mnuHelp_ReadMe", ProgramFolder() + QStringLiteral("/ReadMe.txt")},
        {"mnuHelp_ToHelp", HelpPageTarget()},
        {"mnuHelp_Homepage", HomepageAddress()},
    };
    for (const auto& command : commands) {
        shell.executed.clear();
        Item(command.item)->trigger();
        ASSERT_EQ(shell.executed.size(), 1u) << command.item;
        const SHELLEXECUTEINFO& info = shell.executed[0];
        EXPECT_EQ(info.lpVerb, QStringLiteral("open"));
        EXPECT_EQ(info.lpFile, command.target) << command.item;
        EXPECT_EQ(info.lpParameters, QString()) << command.item;
        EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
        EXPECT_EQ(info.hwnd, 0u);
        EXPECT_EQ(info.fMask, SEE_MASK_NO_ASYNC) << "a help command never waits";
    }
    EXPECT_TRUE(shell.started.isEmpty());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HelpCommandsTest, ReadMeInAFolderWithSpacesIsOpenedAsOneFile) {
    // Beside "my programs" lies a folder "my": a prefix naming a folder is no program.
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("my programs/Vistrel 1.01")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("my")));
    const QString programFolder = root.filePath(QStringLiteral("my programs/Vistrel 1.01"));
    QFile readMe(programFolder + QStringLiteral("/ReadMe.txt"));
    ASSERT_TRUE(readMe.open(QIODevice::WriteOnly));
    readMe.close();
    ScopedHook<QString> installed(&SetProgramFolder, programFolder);

    Item("mnuHelp_ReadMe")->trigger();
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].lpFile, programFolder + QStringLiteral("/ReadMe.txt"));
    EXPECT_EQ(shell.executed[0].lpParameters, QString());
}

TEST_F(HelpCommandsTest, AFailedOpeningTriesTheLineAsAProgramAndStaysQuiet) {
    shell.executeAnswer = false;
    Item("mnuHelp_Homepage")->trigger();
    EXPECT_EQ(shell.started, QStringList{HomepageAddress()});
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(AppInfo, TheHelpPageIsTheBuiltUserGuideAndTheHomepageAnAddress) {
    BuiltProgramFolder built;
    const QString help = HelpPageTarget();
    EXPECT_TRUE(IsShellAddress(help) || QFileInfo(help).isFile()) << help.toStdString();
    if (!IsShellAddress(help)) {
        EXPECT_EQ(QFileInfo(help).absolutePath(), QDir(ProgramFolder()).absolutePath());
        QFile page(help);
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        EXPECT_TRUE(page.readAll().contains("<img src=\"docs/"));
    }
    EXPECT_TRUE(IsShellAddress(HomepageAddress())) << HomepageAddress().toStdString();
}

TEST(AppInfo, TheVersionLineHasTwoMinorAndFourRevisionDigits) {
    const struct {
        AppVersionNumber version;
        const char* line;
    } cases[] = {
        {{1, 1, 0}, "Vistrel  version 1.01 .0000"},
        {{2, 10, 37}, "Vistrel  version 2.10 .0037"},
        {{1, 123, 12345}, "Vistrel  version 1.123 .12345"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(VersionLine(QStringLiteral("Vistrel"), test.version),
                  QString::fromLatin1(test.line));
}

TEST_F(HelpCommandsTest, TheVersionBoxShowsTheProjectVersionAndTheContactLines) {
    const AppVersionNumber version = AppVersion();
    EXPECT_EQ(
        QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision),
        QStringLiteral(VISTREL_PROJECT_VERSION));
    Item("mnuHelp_About")->trigger();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const MsgBoxRequest& box = boxes.Boxes()[0];
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.title, QStringLiteral("バージョン情報"));
    const QStringList lines = box.text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7) << box.text.toStdString();
    EXPECT_EQ(lines[0], QString());
    EXPECT_EQ(lines[1], VersionLine(AppTitle(), version));
    EXPECT_EQ(lines[2], QString());
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("mailto:")) && lines[3].contains(u'@'));
    EXPECT_EQ(lines[4], HomepageAddress());
    EXPECT_EQ(lines[5], QString());
    EXPECT_FALSE(lines[6].isEmpty());
    EXPECT_TRUE(shell.executed.empty());
}
