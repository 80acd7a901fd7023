#include "platform/Shell.h"
#include "platform/ProgramFolder.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScopedHook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool MakeFile(const QString& path, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();
    return !executable ||
           file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

TEST(DesktopShell, SearchFindsOrdinaryFilesOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(MakeFile(dir.filePath(QStringLiteral("my file.txt"))));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("folder")));
    ASSERT_TRUE(MakeFile(dir.filePath(QStringLiteral("tool")), true));
    ScopedHook<QString> programFolder(&SetProgramFolder, dir.filePath(QStringLiteral("folder")));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent:" + dir.path().toUtf8());
    DesktopShell shell;
    const struct {
        QString name;
        QString found; // empty: not found
    } cases[] = {
        {dir.filePath(QStringLiteral("my file.txt")), dir.filePath(QStringLiteral("my file.txt"))},
        {dir.filePath(QStringLiteral("my")), QString()},
        {dir.filePath(QStringLiteral("folder")), QString()},
        {QStringLiteral("tool"), dir.filePath(QStringLiteral("tool"))}, // on the PATH
        {QStringLiteral("folder"), QString()},
        {QStringLiteral("no-such-program-here"), QString()},
        {QString(), QString()},
    };
    for (const auto& test : cases) {
        QString found = QStringLiteral("untouched");
        EXPECT_EQ(shell.SearchPath(test.name, found), !test.found.isEmpty())
            << test.name.toStdString();
        if (!test.found.isEmpty()) {
            EXPECT_EQ(found, test.found);
        }
    }
    qputenv("PATH", path);
}

TEST(DesktopShell, SearchLooksInTheProgramFolderFirst) {
    QTemporaryDir dir;
    ASSERT_TRUE(MakeFile(dir.filePath(QStringLiteral("ReadMe.txt"))));
    ScopedHook<QString> programFolder(&SetProgramFolder, dir.path());
    QString found;
    ASSERT_TRUE(DesktopShell().SearchPath(QStringLiteral("ReadMe.txt"), found));
    EXPECT_EQ(found, dir.filePath(QStringLiteral("ReadMe.txt")));
}

TEST(DesktopShell, OnlyExistingFilesAndAddressesCanBeOpened) {
    DesktopShell shell;
    SHELLEXECUTEINFO missing;
    missing.lpVerb = QStringLiteral("open");
    missing.lpFile = QStringLiteral("/nonexistent/ReadMe.txt");
    EXPECT_FALSE(shell.ShellExecuteEx(missing));
    SHELLEXECUTEINFO otherVerb;
    otherVerb.lpVerb = QStringLiteral("print");
    otherVerb.lpFile = QStringLiteral("/bin/sh");
    EXPECT_FALSE(shell.ShellExecuteEx(otherVerb));
}

TEST(DesktopShell, AStartedProcessIsActiveUntilItEnds) {
    DesktopShell shell;
    SHELLEXECUTEINFO info;
    info.lpVerb = QStringLiteral("open");
    info.lpFile = QStringLiteral("sh"); // a bare name, found on the PATH
    info.lpParameters = QStringLiteral("-c \"sleep 0.5\"");
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    ASSERT_TRUE(shell.ShellExecuteEx(info));
    ASSERT_GT(info.hProcess, 0);
    quint32 code = 0;
    ASSERT_TRUE(shell.GetExitCodeProcess(info.hProcess, code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_TRUE(PumpUntil(
        [&] { return shell.GetExitCodeProcess(info.hProcess, code) && code != STILL_ACTIVE; }));
    EXPECT_EQ(code, 0u);
    shell.CloseHandle(info.hProcess);
    EXPECT_FALSE(shell.GetExitCodeProcess(info.hProcess, code));
    EXPECT_EQ(shell.OpenProcess(0), 0);
}

TEST(DesktopShell, AddressesNeedASchemeOfTwoLettersOrMore) {
    const struct {
        const char* target;
        bool address;
    } cases[] = {{"https://vistrel.example.org/", true},
                 {"mailto:a@example.org", true},
                 {"file:///tmp/x", true},
                 {"/tmp/ReadMe.txt", false},
                 {"C:\\ReadMe.txt", false},
                 {"ReadMe.txt", false},
                 {"", false}};
    for (const auto& test : cases)
        EXPECT_EQ(IsShellAddress(QString::fromLatin1(test.target)), test.address) << test.target;
}
