// The program as a process without a screen: no display variables, the test camera, the test
// mail servers, and the command line a service or a script would give it.
#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "settings/MailAccountFile.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingFiles.h"
#include "settings/SettingKeys.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString Requester = QStringLiteral("someone@example.net");
constexpr uid_t Nobody = 65534;

QByteArray Request() {
    return "From: <someone@example.net>\r\nTo: cam@example.com\r\nSubject: CAM please\r\n"
           "Message-ID: <r1@example.net>\r\n\r\nA picture, please.\r\n";
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class HeadlessRun : public testing::Test {
  protected:
    // The account of the test servers and one response setting in folder/options.
    static void WriteSettings(const QString& folder, int popPort, int smtpPort,
                              int protocol = ProtocolPOP3) {
        InitSettingKeys();
        UseTestMailAccount(popPort, smtpPort, {Requester});
        CurrentMailAccount.MailProtocol = protocol;
        const QString options = folder + QStringLiteral("/options");
        ASSERT_TRUE(QDir().mkpath(options));
        ASSERT_TRUE(SaveMailAccountFile(options, CurrentMailAccount));
        ASSERT_TRUE(SaveResponseSettingFiles(options, ResponseSettings));
    }

    // Starts program with arguments, with no display and no platform in its environment.
    static void Start(QProcess& process, const QStringList& arguments,
                      const QString& program = QStringLiteral(VISTREL_HEADLESS_CHILD)) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // Runs the program to its end; its exit code (-1 when it did not end).
    static int Run(QProcess& process, const QStringList& arguments) {
        Start(process, arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    bool StartServers() {
        QString problem;
        return pop.Start({{"camera", "campass"}}, problem) && smtp.Start(problem) &&
               pop.Deliver(QStringLiteral("camera"), Request());
    }

    QTemporaryDir settings;
    DovecotServer pop;
    SmtpServer smtp;
};

// The log lines of standard error, each one of main.log's.
QStringList StampedLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        if (line.size() >= 20 && line[4] == u'/' && line[19] == u'\t')
            lines << line;
    return lines;
}

} // namespace

TEST_F(HeadlessRun, AnswersARequestWithoutADisplayAndEndsCleanlyOnSIGTERM) {
    pop.OfferImap();
    ASSERT_TRUE(StartServers());
    WriteSettings(settings.path(), pop.ImapPort(), smtp.Port(), ProtocolIMAP);
    QProcess program;
    Start(program,
          {QStringLiteral("--headless"), QStringLiteral("--settings-folder"), settings.path()});
    // The push's fresh connection checks at once.
    EXPECT_TRUE(PumpUntil([&] { return !smtp.Mails(Requester).empty(); }, 60000))
        << program.readAllStandardError().toStdString();
    // Its connections were all plain: the TLS library stays out of the long-running process.
    EXPECT_FALSE(
        ReadFile(QStringLiteral("/proc/%1/maps").arg(program.processId())).contains("libssl"));

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    for (const char* file : {"main.rul", "main.mla", "main.opt", "001.csp"})
        EXPECT_TRUE(QFile::exists(settings.filePath(QStringLiteral("options/") + file))) << file;
    const QStringList logged = FromCodePage932(ReadFile(settings.filePath("options/main.log")))
                                   .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    EXPECT_FALSE(logged.isEmpty());
    EXPECT_EQ(StampedLines(errors), logged) << errors.toStdString();
}

TEST_F(HeadlessRun, CheckOnceAnswersAndEndsWithZero) {
    ASSERT_TRUE(StartServers());
    WriteSettings(settings.path(), pop.Port(), smtp.Port());
    QProcess program;
    EXPECT_EQ(Run(program, {QStringLiteral("--check-once"), QStringLiteral("--settings-folder"),
                            settings.path()}),
              0)
        << program.readAllStandardError().toStdString();
    EXPECT_EQ(smtp.Mails(Requester).size(), 1u);
    // The answered request is on the rule file that the shutdown saved.
    EXPECT_FALSE(ReadFile(settings.filePath("options/main.rul")).trimmed().isEmpty());
}

// CI installs the package system-wide and names its program here; elsewhere it is skipped.
TEST_F(HeadlessRun, TheInstalledPackageChecksOnceAgainstTheServers) {
    const QString installed = qEnvironmentVariable("VISTREL_INSTALLED_PROGRAM");
    if (installed.isEmpty())
        GTEST_SKIP() << "VISTREL_INSTALLED_PROGRAM names no installed program";
    ASSERT_TRUE(StartServers());
    WriteSettings(settings.path(), pop.Port(), smtp.Port());
    QProcess program;
    Start(program,
          {QStringLiteral("--check-once"), QStringLiteral("--settings-folder"), settings.path()},
          installed);
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

TEST_F(HeadlessRun, CheckOnceWithTheServerDownFailsWithTheReasonAndLosesNothing) {
    WriteSettings(settings.path(), 1, 1);
    QProcess program;
    EXPECT_NE(Run(program, {QStringLiteral("--check-once"), QStringLiteral("--settings-folder"),
                            settings.path()}),
              0);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError())
                    .contains(QStringLiteral("接続できませんでした")));
    // The shutdown saved the account as it was: the password (encrypted afresh) too.
    CMailAccount account;
    bool isError = false, isLoaded = false;
    LoadMailAccountFile(settings.filePath(QStringLiteral("options")), account, isError, isLoaded);
    EXPECT_TRUE(isLoaded);
    EXPECT_EQ(account.Password, QStringLiteral("campass"));
}

TEST_F(HeadlessRun, AMissingOrDamagedAccountEndsWith78NamingFileAndKeyAndKeepsTheFile) {
    const struct {
        QByteArray account;
        QString named;
    } cases[] = {
        {"", QStringLiteral("main.mla")},
        {"Name=camera\r\nMailAddr=cam@example.com\r\nUserName=camera\r\nPassword=\r\n"
         "POPHost=127.0.0.1\r\nSMTPHost=127.0.0.1\r\nSMTPPort=25\r\nAPOP=0\r\n",
         QStringLiteral("main.mla: POPPort")},
        {"Name=\r\nMailAddr=cam@example.com\r\nUserName=camera\r\nPassword=\r\n"
         "POPHost=127.0.0.1\r\nPOPPort=110\r\nSMTPHost=127.0.0.1\r\nSMTPPort=25\r\nAPOP=0\r\n",
         QStringLiteral("main.mla: Name")},
    };
    for (const auto& [account, named] : cases) {
        QTemporaryDir folder;
        WriteSettings(folder.path(), 1, 1);
        const QString path = folder.filePath(QStringLiteral("options/main.mla"));
        QFile::remove(path);
        if (!account.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(account);
        }
        QProcess program;
        EXPECT_EQ(Run(program, {QStringLiteral("--headless"), QStringLiteral("--settings-folder"),
                                folder.path()}),
                  78)
            << named.toStdString();
        EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError()).contains(named))
            << named.toStdString();
        EXPECT_EQ(ReadFile(path), account) << named.toStdString();
        EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("options/main.opt"))));
    }
}

TEST_F(HeadlessRun, SetPasswordStoresTheLineFromStandardInputEncrypted) {
    WriteSettings(settings.path(), 1, 1);
    for (const char* option : {"--set-password", "--set-smtp-password"}) {
        QProcess program;
        Start(program,
              {QString::fromLatin1(option), QStringLiteral("--settings-folder"), settings.path()});
        program.write("new secret\n");
        program.closeWriteChannel();
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 0) << option;
    }
    const QByteArray stored = ReadFile(settings.filePath("options/main.mla"));
    EXPECT_FALSE(stored.contains("new secret"));
    CMailAccount account;
    bool isError = false, isLoaded = false;
    LoadMailAccountFile(settings.filePath(QStringLiteral("options")), account, isError, isLoaded);
    EXPECT_TRUE(isLoaded);
    EXPECT_EQ(account.Password, QStringLiteral("new secret"));
    EXPECT_EQ(account.SMTPPassword, QStringLiteral("new secret"));
    EXPECT_EQ(account.Name, QStringLiteral("camera"));
}

TEST_F(HeadlessRun, UnknownOptionsEndWithTwoAndAPointerToHelp) {
    QProcess program;
    EXPECT_EQ(Run(program, {QStringLiteral("--no-such-option")}), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("--help"));
}

// A system install: the program folder is not the user's to write, so the settings go to
// ~/.config/vistrel and the scratch files to ~/.cache/vistrel.
TEST_F(HeadlessRun, AnUnwritableProgramFolderKeepsTheFilesInTheXdgFolders) {
    QTemporaryDir installed;
    const QDir built(QStringLiteral(VISTREL_PROGRAM_DIR));
    for (const QString& name : built.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(built.filePath(name), installed.filePath(name)));
    const QString home = settings.filePath(QStringLiteral("home"));
    WriteSettings(home + QStringLiteral("/.config/vistrel"), 1, 1);
    QFile::setPermissions(installed.path(), QFile::Permissions(0x7555));
    QFile::setPermissions(settings.path(), QFile::Permissions(0x7755));
    ASSERT_EQ(QProcess::execute(QStringLiteral("chown"),
                                {QStringLiteral("-R"), QStringLiteral("65534:65534"), home}),
              0);
    QProcess program;
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), home);
    program.setProcessEnvironment(env);
    // As a user who cannot write to the program folder, as a desktop user cannot under /usr.
    program.setChildProcessModifier([] {
        if (geteuid() == 0 && (setgid(Nobody) != 0 || setuid(Nobody) != 0))
            _exit(99);
    });
    program.start(installed.filePath(QFileInfo(QStringLiteral(VISTREL_HEADLESS_CHILD)).fileName()),
                  {QStringLiteral("--check-once")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 1) << program.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(installed.filePath(QStringLiteral("options"))));
    EXPECT_TRUE(
        FromCodePage932(ReadFile(home + QStringLiteral("/.config/vistrel/options/main.log")))
            .contains(QStringLiteral("接続できませんでした")));
    EXPECT_TRUE(QDir(home + QStringLiteral("/.cache/vistrel/temp")).exists());
}

// A fresh install shows the account dialog at once; a service manager's or a logout's
// SIGTERM must not leave it waiting for a person.
TEST_F(HeadlessRun, SIGTERMDuringTheFirstRunDialogEndsWithZeroAndWritesNoSetting) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VISTREL_HEADLESS_CHILD),
                  {QStringLiteral("--settings-folder"), settings.path()});
    ASSERT_TRUE(PumpUntil([&] { return QDir(settings.filePath("temp")).exists(); }, 20000));
    program.terminate();
    const bool ended = program.waitForFinished(30000);
    if (!ended)
        program.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QDir(settings.filePath("options")).entryList(QDir::Files).isEmpty());
}
