// options/ holds the password and the log, temp/ the mails: both folders and every file the
// program writes in them are the user's alone, and what an older version left open to every
// account is tightened at the next start, save or log line.
#include "settings/AllSettings.h"
#include "settings/modFileAccess.h"

#include "log/WriteLog.h"
#include "platform/ReplaceFile.h"
#include "tests/settings/SettingsFilesFixture.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace {

struct ModeCase {
    const char* path; // below the program folder
    mode_t mode;
};

const ModeCase Written[] = {
    {"options", 0700},          {"temp", 0700},
    {"options/main.opt", 0600}, {"options/main.mla", 0600},
    {"options/001.csp", 0600},  {"options/main.rul", 0600},
    {"options/main.log", 0600}, {"temp/new.eml", 0600},
};

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

class FileModesTest : public SettingsFilesFixture {
  protected:
    QString PathOf(const char* relative) const { return QDir(folder.Path()).filePath(relative); }

    // A start, an exit's save, a log line and a reply mail written to temp/.
    void RunTheProgram() {
        MakeFolder(OptionsFolder());
        MakeFolder(TempFolder());
        CurrentMailAccount.Name = QStringLiteral("account");
        CurrentMailAccount.Password = QStringLiteral("secret");
        ResponseSettings.resize(1);
        ReceivedUidlList = QStringList{QStringLiteral("u1")};
        ASSERT_TRUE(SaveAllSettings());
        WriteLog(QStringLiteral("line"));
        ASSERT_TRUE(
            ReplaceFile(TempFolder() + QStringLiteral("/new.eml"), {"mail"}, Durability::Scratch));
    }
    void ExpectWrittenModes() const {
        for (const ModeCase& entry : Written) {
            SCOPED_TRACE(entry.path);
            EXPECT_EQ(ModeOf(PathOf(entry.path)), entry.mode);
        }
    }
};

TEST_F(FileModesTest, NewFoldersAndFilesAreTheUsersAlone) {
    ASSERT_TRUE(QDir(OptionsFolder()).removeRecursively());
    ASSERT_TRUE(QDir(TempFolder()).removeRecursively());
    RunTheProgram();
    ExpectWrittenModes();
}

TEST_F(FileModesTest, FoldersAndFilesLeftOpenToEveryoneAreTightened) {
    for (const ModeCase& entry : Written) {
        if (!QFileInfo(PathOf(entry.path)).isDir())
            folder.Write(entry.path, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(PathOf(entry.path)).constData(),
                          entry.mode == 0700 ? 0755 : 0644),
                  0);
    }
    RunTheProgram();
    ExpectWrittenModes();
}
