#include "app/ProgramFolderCheck.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

// Takes write access to folder away from this process: the administrator becomes nobody
// (whose rights are what a desktop user has in a system folder), anyone else loses the bit.
bool LoseWriteAccess(const QString& folder) {
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(folder, readOnly))
        return false;
    return geteuid() != 0 || (setgid(Nobody) == 0 && setuid(Nobody) == 0);
}

// Exit codes of the child: whether the check passed, and what it showed.
constexpr int PassedQuietly = 10;
constexpr int RefusedWithTheBox = 11;

int RunCheck(const ScratchProgramFolder& folder, const QString& unwritable) {
    MsgBoxRecorder boxes;
    // Every folder open to all, then the one under test closed.
    for (const QString& open : {folder.Path(), folder.Path() + QStringLiteral("/options"),
                                folder.Path() + QStringLiteral("/temp")})
        QFile::setPermissions(open, QFile::Permissions(0x7777));
    if (!LoseWriteAccess(unwritable))
        return 1;
    const bool passed = CheckProgramFolderWritable();
    if (passed)
        return boxes.Boxes().empty() ? PassedQuietly : 2;
    const bool named = boxes.Boxes().size() == 1 && boxes.Boxes()[0].icon == MsgIcon::Critical &&
                       boxes.Boxes()[0].text.contains(QDir::toNativeSeparators(unwritable));
    return named ? RefusedWithTheBox : 3;
}

} // namespace

TEST(ProgramFolderCheck, AWritableFolderPassesWithoutABox) {
    ScratchProgramFolder folder;
    MsgBoxRecorder boxes;
    EXPECT_TRUE(CheckProgramFolderWritable());
    EXPECT_TRUE(boxes.Boxes().empty());
    // The probe leaves nothing behind.
    EXPECT_TRUE(QDir(folder.Path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(ProgramFolderCheck, EachUnwritableFolderIsReportedByName) {
    // In a child process, which may give up its rights.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* unwritable : {"", "/options", "/temp"}) {
        ScratchProgramFolder folder;
        // The program folder matters only while it is to hold the two folders.
        if (*unwritable == '\0') {
            for (const char* sub : {"options", "temp"})
                ASSERT_TRUE(QDir(folder.Path()).rmdir(QString::fromLatin1(sub)));
        }
        EXPECT_EXIT(std::_Exit(RunCheck(folder, folder.Path() + QString::fromLatin1(unwritable))),
                    testing::ExitedWithCode(RefusedWithTheBox), "")
            << "folder" << unwritable;
    }
}

TEST(ProgramFolderCheck, MissingOptionsAndTempFoldersAreNoFault) {
    ScratchProgramFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).rmdir(QStringLiteral("options")));
    ASSERT_TRUE(QDir(folder.Path()).rmdir(QStringLiteral("temp")));
    MsgBoxRecorder boxes;
    EXPECT_TRUE(CheckProgramFolderWritable());
    EXPECT_TRUE(boxes.Boxes().empty());
}
