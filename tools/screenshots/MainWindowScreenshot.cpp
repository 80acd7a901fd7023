// vistrel_main_window_screenshot FILE: starts the main window on the running X server from a
// scratch program folder, with the test camera as its only driver and a status line, and
// saves what the screen shows of it as FILE.
#include "app/Form1.h"
#include "dialogs/FirstRunRegistration.h"
#include "log/WriteLog.h"
#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {

// A program folder with the two libraries, an account and one response setting, so that the
// start opens no first-run dialog.
bool MakeProgramFolder(const QString& path) {
    const QDir built(QStringLiteral(VISTREL_PROGRAM_DIR));
    const QDir folder(path);
    for (const QString& name : {QStringLiteral("libpelcodec.so"), QStringLiteral("libpelimage.so")})
        if (!QFile::copy(built.filePath(name), folder.filePath(name)))
            return false;
    if (!folder.mkpath(QStringLiteral("options")))
        return false;
    const std::pair<const char*, QByteArray> files[] = {
        {"options/main.mla", "Name=camera\r\nMailAddr=camera@example.jp\r\nUserName=camera\r\n"
                             "Password=\r\nPOPHost=127.0.0.1\r\nPOPPort=110\r\n"
                             "SMTPHost=127.0.0.1\r\nSMTPPort=25\r\nAPOP=0\r\n"},
        {"options/001.csp",
         "Name=family\r\nDoReduction=1\r\nReductionWidth=200\r\nReductionType=0\r\n"
         "RotationType=0\r\nColorBit=24\r\nFormatType=0\r\nJPEGProgressive=0\r\n"
         "JPEGCompression=1\r\nAcceptedMailAddrs,=mother@example.jp\r\n"
         "SendMail_Subject=photo\r\nSendMail_Body=here\r\n"},
    };
    for (const auto& [name, text] : files) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
    }
    return true;
}

void PumpFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vistrel_main_window_screenshot FILE\n");
        return 2;
    }
    QTemporaryDir programFolder;
    if (!MakeProgramFolder(programFolder.path()))
        return 1;
    SetProgramFolder(programFolder.path());
    RegisterFirstRunDialogs(); // the Gothic font substitutions
    SetCaptureDriversForTest(
        {std::make_shared<TestCaptureDriver>(ToCodePage932(QStringLiteral("テスト画像")))});
    Form1 form;
    if (!form.Form_Load())
        return 1;
    form.show();
    PumpFor(500); // the layout timer rebuilds the preview at the shown size
    WriteLog(QStringLiteral("メールはありませんでした"));
    PumpFor(500);
    const QPixmap shot = form.screen()->grabWindow(form.winId());
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool saved = !shot.isNull() && shot.save(path, "PNG", 9);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    form.Form_Unload();
    return saved ? 0 : 1;
}
