// The demonstration: a private IMAP server with the camera's mailbox and a private SMTP server
// that keeps the requester's mail, a settings folder for them in the demonstration build's
// program folder, and the program started on it. Once the program holds the mailbox in IDLE,
// one Japanese request is delivered; the reply comes within seconds. When it lands, it is
// saved with its attachment, read back by Python's email package and Pillow, and its paths
// are printed last.
//
//   vistrel_demo PROGRAM OUTPUT_FOLDER
//
// With a display the program opens its window and runs until the user closes it (or presses
// Ctrl+C here); without one it runs offscreen and the demonstration ends with the reply, or
// fails after three minutes. The servers and the program never outlive the demonstration.
#include "capture/modCapture.h"
#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "settings/MailAccountFile.h"
#include "settings/OptionFile.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingFiles.h"
#include "settings/SettingKeys.h"
#include "settings/WindowPlacement.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/SmtpServer.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstdio>

namespace {

const QString Camera = QStringLiteral("camera@example.com");
const QString Requester = QStringLiteral("requester@example.net");
constexpr qint64 HeadlessLimitMs = 3 * 60 * 1000;

volatile std::sig_atomic_t interrupted = 0;

void Say(const QString& text) {
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

// Where the window opens the first time: a size that shows the whole test picture.
class FirstPlacement : public WindowPlacement {
  public:
    int WindowState() const override { return 0; }
    void SetWindowState(int) override {}
    QRect NormalBounds() const override { return {120, 120, 400, 380}; }
    void SetNormalBounds(const QRect&) override {}
};

// The index of the test capture driver among the drivers the program will list.
int TestDriverIndex() {
    QStringList drivers;
    const int count = GetCaptureDrivers(drivers);
    for (int i = 0; i < count; ++i)
        if (TrimNull(drivers[i]) == QStringLiteral("テスト画像"))
            return i;
    return -1;
}

// The settings folder of the program folder, for the two servers.
bool WriteSettings(const DovecotServer& imap, const SmtpServer& smtp, QString& retProblem) {
    InitSettingKeys();
    const QString options = OptionsFolder();
    QDir().mkpath(options);
    QFile::remove(options + QStringLiteral("/main.rul"));
    CMailAccount account;
    account.Name = QStringLiteral("デモ");
    account.MailAddr = Camera;
    account.POPHost = account.SMTPHost = QStringLiteral("127.0.0.1");
    account.MailProtocol = ProtocolIMAP;
    account.POPPort = imap.ImapPort();
    account.SMTPPort = smtp.Port();
    account.UserName = QStringLiteral("camera");
    account.Password = QStringLiteral("demo-password");
    SaveMailAccountFile(options, account);
    CResAccount setting;
    setting.Name = QStringLiteral("デモの返信");
    setting.ReductionWidth = 320;
    setting.vAcceptedMailAddrs = QStringList{Requester};
    setting.SendMail_Subject = QStringLiteral("カメラの画像です");
    setting.SendMail_Body = QStringLiteral("ご依頼の写真をお送りします。\n(Vistrel のデモ)");
    SaveResponseSettingFiles(options, {setting});
    DeviceDriverIndex = TestDriverIndex();
    if (DeviceDriverIndex < 0) {
        retProblem = QStringLiteral("this build lists no test capture driver");
        return false;
    }
    MailCheckInterval = 1;
    AcceptedLeftSubject = QStringLiteral("CAM");
    FirstPlacement placement;
    SetMainWindowPlacement(&placement);
    SaveOptionFile(options);
    SetMainWindowPlacement(nullptr);
    return true;
}

// A request as a Japanese mail program writes it: ISO-2022-JP name, subject and text.
QByteArray Request() {
    return "From: =?ISO-2022-JP?B?GyRCME1NajxUGyhC?= <requester@example.net>\r\n"
           "To: camera@example.com\r\n"
           "Subject: =?ISO-2022-JP?B?Q0FNIBskQjxMPz8kciQqNGokJCQ3JF4kORsoQg==?=\r\n"
           "Date: " +
           QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() +
           "\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
           "Content-Transfer-Encoding: 7bit\r\n\r\n"
           "\x1b$B$$$^$NIt20$N<L??$rAw$C$F$/$@$5$$!#\x1b(B\r\n";
}

// Whether the activity log, past its first from bytes, says that the program holds the
// mailbox in IDLE.
bool HoldsIdle(qint64 from) {
    QFile log(OptionsFolder() + QStringLiteral("/main.log"));
    if (!log.open(QIODevice::ReadOnly) || !log.seek(from))
        return false;
    return FromCodePage932(log.readAll()).contains(QStringLiteral("プッシュ受信を開始しました"));
}

// Python's email package and Pillow read the reply; its attachment goes to folder.
bool ReadReply(const QString& replyPath, const QString& folder, QString& retAttachment,
               QString& retProblem) {
    const QString scratch = folder + QStringLiteral("/.attachment");
    QProcess python;
    python.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(VISTREL_SOURCE_DIR "/tests/reply/mail_probe.py"), replyPath, scratch});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        retProblem = QString::fromLocal8Bit(python.readAllStandardError());
        return false;
    }
    const QJsonObject report = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    const QJsonObject image = report[QStringLiteral("image")].toObject();
    if (!report[QStringLiteral("defects")].toArray().isEmpty() || image.isEmpty()) {
        retProblem = QStringLiteral("the reply does not read back soundly: ") +
                     QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact));
        return false;
    }
    const QString name = QFileInfo(report[QStringLiteral("filename")].toString()).fileName();
    retAttachment = QFileInfo(replyPath).absolutePath() + u'/' +
                    QFileInfo(replyPath).completeBaseName() + u'-' +
                    (name.isEmpty() ? QStringLiteral("attachment") : name);
    QFile::remove(retAttachment);
    return QFile::rename(scratch, retAttachment);
}

// Ends the program: the termination it handles (it saves its settings), then a kill.
void Stop(QProcess& program) {
    if (program.state() == QProcess::NotRunning)
        return;
    program.terminate();
    if (!program.waitForFinished(15000)) {
        program.kill();
        program.waitForFinished(5000);
    }
}

void OnSignal(int) {
    interrupted = 1;
}

int Fail(const QString& problem) {
    std::fprintf(stderr, "run-demo: %s\n", problem.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return Fail(QStringLiteral("usage: vistrel_demo PROGRAM OUTPUT_FOLDER"));
    const bool headless =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // This driver shows no window of its own.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    SetProgramFolder(QFileInfo(program).absolutePath());
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    QString replyPath, attachment;
    QElapsedTimer clock;
    clock.start();
    {
        DovecotServer imap;
        SmtpServer smtp;
        QString problem;
        imap.OfferImap();
        if (!imap.Start({{"camera", "demo-password"}}, problem) || !smtp.Start(problem))
            return Fail(QStringLiteral("a mail server did not start: ") + problem);
        if (!WriteSettings(imap, smtp, problem))
            return Fail(problem);
        Say(QStringLiteral("IMAP server on 127.0.0.1:%1 (mailbox \"camera\"), SMTP server on "
                           "127.0.0.1:%2.")
                .arg(imap.ImapPort())
                .arg(smtp.Port()));
        const qint64 logStart = QFileInfo(OptionsFolder() + QStringLiteral("/main.log")).size();

        QProcess vistrel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (headless)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        vistrel.setProcessEnvironment(environment);
        vistrel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        vistrel.start(program, {});
        if (!vistrel.waitForStarted(10000))
            return Fail(QStringLiteral("the program did not start: ") + program);
        Say(headless ? QStringLiteral("No display: the program runs offscreen.")
                     : QStringLiteral("The program's window opens."));

        QElapsedTimer sinceDelivery;
        while (!interrupted && vistrel.state() != QProcess::NotRunning && replyPath.isEmpty()) {
            QThread::msleep(100);
            app.processEvents();
            // The request goes in once the program is waiting for it in IDLE.
            if (!sinceDelivery.isValid() && HoldsIdle(logStart)) {
                if (!imap.Deliver(QStringLiteral("camera"), Request())) {
                    Stop(vistrel);
                    return Fail(QStringLiteral("the request could not be delivered"));
                }
                sinceDelivery.start();
                Say(QStringLiteral("The program holds the mailbox in IDLE. A request from %1 with "
                                   "the subject \"CAM 写真をお願いします\" is delivered now.")
                        .arg(Requester));
            }
            const std::vector<SmtpServer::StoredMail> mails = smtp.Mails(Requester);
            if (!mails.empty()) {
                QDir().mkpath(output);
                replyPath =
                    output + QStringLiteral("/reply-") +
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")) +
                    QStringLiteral(".eml");
                QFile file(replyPath);
                if (!file.open(QIODevice::WriteOnly) || file.write(mails[0].Message) < 0) {
                    Stop(vistrel);
                    return Fail(QStringLiteral("cannot write ") + replyPath);
                }
            }
            if (headless && clock.elapsed() > HeadlessLimitMs) {
                Stop(vistrel);
                return Fail(QStringLiteral("no reply came within three minutes"));
            }
        }
        if (replyPath.isEmpty()) {
            Stop(vistrel);
            return Fail(interrupted ? QStringLiteral("interrupted before the reply came")
                                    : QStringLiteral("the program ended before the reply came"));
        }
        if (!ReadReply(replyPath, output, attachment, problem)) {
            Stop(vistrel);
            return Fail(problem);
        }
        Say(QStringLiteral("The reply came %1 s after the delivery.")
                .arg(double(sinceDelivery.elapsed()) / 1000, 0, 'f', 1));
        if (!headless) {
            QProcess::startDetached(QStringLiteral("xdg-open"), {attachment});
            Say(QStringLiteral(
                "Close the program's window, or press Ctrl+C here, to end the demo."));
            while (!interrupted && vistrel.state() != QProcess::NotRunning)
                vistrel.waitForFinished(200);
        }
        Stop(vistrel);
    }
    Say(replyPath);
    Say(attachment);
    return 0;
}
