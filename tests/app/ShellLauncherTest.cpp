#include "app/modShellEx.h"
#include "tests/app/RecordingShell.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The file search knows only the names it is given.
class FakeSearchShell : public RecordingShell {
  public:
    explicit FakeSearchShell(QSet<QString> files) : files(std::move(files)) {}
    bool SearchPath(const QString& fileName, QString& retPath) override {
        searched.append(fileName);
        if (!files.contains(fileName))
            return false;
        retPath = QStringLiteral("/found/") + fileName;
        return true;
    }
    QStringList searched;

  private:
    QSet<QString> files;
};

} // namespace

TEST(RunShell, SplitsAtTheFirstSpaceWhosePrefixTheSearchFinds) {
    const struct {
        const char* commandLine;
        QSet<QString> files;
        const char* program;
        const char* parameters;
    } cases[] = {
        {"viewer /tmp/a.txt", {"viewer"}, "viewer", "/tmp/a.txt"},
        // The shortest prefix that is found wins, even when a longer one is found too.
        {"/opt/my tools/run --help",
         {"/opt/my", "/opt/my tools/run"},
         "/opt/my",
         "tools/run --help"},
        {"/opt/my tools/run --help", {"/opt/my tools/run"}, "/opt/my tools/run", "--help"},
        // Nothing found: all of it is the program.
        {"/home/a b/Vistrel/ReadMe.txt", {}, "/home/a b/Vistrel/ReadMe.txt", ""},
        {"https://vistrel.example.org/", {}, "https://vistrel.example.org/", ""},
        // The parameters keep their own spaces, a trailing one included.
        {"run  two  spaces ", {"run"}, "run", " two  spaces "},
        {"", {}, "", ""},
    };
    for (const auto& test : cases) {
        FakeSearchShell shell(test.files);
        EXPECT_TRUE(RunShell(QString::fromUtf8(test.commandLine), SW_SHOWNORMAL, 0, false));
        ASSERT_EQ(shell.executed.size(), 1u) << test.commandLine;
        EXPECT_EQ(shell.executed[0].lpFile, QString::fromUtf8(test.program)) << test.commandLine;
        EXPECT_EQ(shell.executed[0].lpParameters, QString::fromUtf8(test.parameters))
            << test.commandLine;
        EXPECT_EQ(shell.executed[0].lpVerb, QStringLiteral("open"));
        EXPECT_TRUE(shell.started.isEmpty());
    }
}

TEST(RunShell, SearchesEachPrefixInTurnUntilOneIsFound) {
    FakeSearchShell shell({QStringLiteral("a b")});
    RunShell(QStringLiteral("a b c d"), SW_SHOWNORMAL, 0, false);
    EXPECT_EQ(shell.searched, (QStringList{QStringLiteral("a"), QStringLiteral("a b")}));
}

TEST(RunShell, PassesShowOwnerAndTheWaitFlags) {
    FakeSearchShell shell({});
    RunShell(QStringLiteral("x"), 3, 42, false);
    RunShell(QStringLiteral("x"), 1, 0, true);
    ASSERT_EQ(shell.executed.size(), 2u);
    EXPECT_EQ(shell.executed[0].nShow, 3);
    EXPECT_EQ(shell.executed[0].hwnd, 42u);
    EXPECT_EQ(shell.executed[0].fMask, 0x400u);
    EXPECT_EQ(shell.executed[1].fMask, 0x440u);
}

TEST(RunShell, AFailedOpeningStartsTheWholeLineAndAnswersWhetherThatWorked) {
    FakeSearchShell shell({QStringLiteral("tool")});
    shell.executeAnswer = false;
    shell.startAnswer = true;
    EXPECT_TRUE(RunShell(QStringLiteral("tool --flag x"), SW_SHOWNORMAL, 0, false));
    EXPECT_EQ(shell.started, QStringList{QStringLiteral("tool --flag x")});
    shell.startAnswer = false;
    EXPECT_FALSE(RunShell(QStringLiteral("missing"), SW_SHOWNORMAL, 0, false));
}

TEST(RunShell, WaitingReturnsOnlyOnceTheStartedProgramHasEnded) {
    // The desktop shell for real: /bin/sh is found as the program, the rest are its arguments.
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("done"));
    const QString line =
        QStringLiteral("/bin/sh -c \"sleep 0.3; echo finished > '%1'\"").arg(marker);
    ASSERT_TRUE(RunShell(line, SW_SHOWNORMAL, 0, true));
    QFile written(marker);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "returned before the program ended";
    EXPECT_EQ(written.readAll(), QByteArray("finished\n"));
}

TEST(RunShell, AQuotedProgramPathIsStartedFromTheWholeLineAndWaitedFor) {
    // No prefix of a quoted path is a file, nor is the whole line: the shell cannot open it,
    // and the line is started as a program, its quotes taken as a shell takes them.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a b")));
    const QString program = dir.filePath(QStringLiteral("a b/prog"));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep 0.3\ntouch \"$1\"\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString marker = dir.filePath(QStringLiteral("done"));
    ASSERT_TRUE(
        RunShell(QStringLiteral("\"%1\" \"%2\"").arg(program, marker), SW_SHOWNORMAL, 0, true));
    EXPECT_TRUE(QFile::exists(marker)) << "returned before the program ended";
    EXPECT_FALSE(RunShell(QStringLiteral("/nonexistent/program --x"), SW_SHOWNORMAL, 0, true));
}
