// The shutdown save when the disk refuses it: every settings file keeps its old contents
// whole, nothing half-written is left beside them, and the user is told.
#include "platform/ProgramFolder.h"
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <map>

namespace {

std::map<QString, QByteArray> OptionFiles(const ScratchProgramFolder& folder) {
    std::map<QString, QByteArray> files;
    const QDir options(folder.Path() + QStringLiteral("/options"));
    for (const QString& name : options.entryList(QDir::Files | QDir::Hidden))
        files[name] = folder.Read(QStringLiteral("options/") + name);
    return files;
}

struct ShutdownSave : MainWindowFixture {
    void SetUp() override { Start({std::make_shared<TestCaptureDriver>("Camera A")}); }
};

} // namespace

TEST_F(ShutdownSave, AFullDiskKeepsTheOldFilesWholeAndTellsTheUser) {
    CurrentMailAccount.Name = QStringLiteral("camera");
    CResAccount setting;
    setting.Name = QStringLiteral("first");
    ResponseSettings = {setting};
    ReceivedUidlList = QStringList{QStringLiteral("old")};
    ASSERT_TRUE(SaveAllSettings());
    const std::map<QString, QByteArray> before = OptionFiles(folder);
    for (const char* name : {"main.mla", "main.opt", "main.rul", "001.csp"})
        ASSERT_TRUE(before.count(QString::fromLatin1(name))) << name;

    // Every setting changes, and then no byte can be written.
    CurrentMailAccount.Name = QStringLiteral("changed");
    ResponseSettings[0].Name = QStringLiteral("changed");
    MailCheckInterval = 9;
    ReceivedUidlList = QStringList{QStringLiteral("new")};
    {
        const FileSizeLimit full(0);
        form->close();
    }

    EXPECT_EQ(OptionFiles(folder), before);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(QStringLiteral("設定を保存できませんでした")));
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QDir::toNativeSeparators(OptionsFolder())));

    // With room again the same settings save as they are.
    ASSERT_TRUE(SaveAllSettings());
    EXPECT_TRUE(folder.Read(QStringLiteral("options/main.rul")).contains("new\r\n"));
    EXPECT_TRUE(folder.Read(QStringLiteral("options/main.mla")).contains("Name=changed"));
}
