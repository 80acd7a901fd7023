#include "tests/support/PumpUntil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

namespace {

// A copy of the built program folder, so the run creates its folders where the test looks.
bool CopyProgramFolder(const QString& to) {
    const QDir from(QStringLiteral(VISTREL_PROGRAM_DIR));
    for (const QString& name : from.entryList(QDir::Files))
        if (!QFile::copy(from.filePath(name), to + "/" + name))
            return false;
    return true;
}

// An account and a response setting, so that the start opens no first-run dialog.
bool WriteSettings(const QString& programFolder) {
    const QDir options(programFolder + QStringLiteral("/options"));
    if (!QDir().mkpath(options.path()))
        return false;
    const std::pair<const char*, QByteArray> files[] = {
        {"main.mla", "Name=camera\r\nMailAddr=camera@example.com\r\nUserName=camera\r\n"
                     "Password=\r\nPOPHost=127.0.0.1\r\nPOPPort=110\r\nSMTPHost=127.0.0.1\r\n"
                     "SMTPPort=25\r\nAPOP=0\r\n"},
        {"001.csp", "Name=first\r\nDoReduction=1\r\nReductionWidth=200\r\nReductionType=0\r\n"
                    "RotationType=0\r\nColorBit=24\r\nFormatType=0\r\nJPEGProgressive=0\r\n"
                    "JPEGCompression=1\r\nAcceptedMailAddrs,=someone@example.com\r\n"
                    "SendMail_Subject=photo\r\nSendMail_Body=here\r\n"},
    };
    for (const auto& [name, text] : files) {
        QFile file(options.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
    }
    return true;
}

} // namespace

TEST(ProgramRun, StartsCreatesItsFoldersAndEndsCleanlyWhenItsWindowCloses) {
    QTemporaryDir dir;
    ASSERT_TRUE(CopyProgramFolder(dir.path()));
    ASSERT_TRUE(WriteSettings(dir.path()));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setProgram(dir.filePath(QStringLiteral("vistrel101")));
    program.start();
    ASSERT_TRUE(program.waitForStarted(10000));

    const QDir folder(dir.path());
    ASSERT_TRUE(PumpUntil([&] { return folder.exists(QStringLiteral("temp")); }, 20000));
    EXPECT_EQ(program.state(), QProcess::Running);
    QFile scratch(dir.filePath(QStringLiteral("temp/capture.bmp")));
    ASSERT_TRUE(scratch.open(QIODevice::WriteOnly));
    scratch.close();

    program.terminate(); // closes the window as the user would
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    // The shutdown sequence ran: the settings were saved and temp/ emptied.
    for (const char* file : {"options/main.rul", "options/main.mla", "options/main.opt"})
        EXPECT_TRUE(folder.exists(QString::fromLatin1(file))) << file;
    EXPECT_FALSE(scratch.exists());
    EXPECT_TRUE(folder.exists(QStringLiteral("temp")));
}
