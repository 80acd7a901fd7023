// vistrel_dialog_screenshots FOLDER: opens each settings dialog with sample settings on the
// running X server and saves what the screen shows of it as FOLDER/dialog-NAME.png, and the
// names of its controls as FOLDER/dialog-NAME.objects, which the tests compare with the dialog.
#include "dialogs/DialogWindow.h"
#include "dialogs/FirstRunRegistration.h"
#include "dialogs/ShowImageInfo.h"
#include "dialogs/frmDlgMailAccount.h"
#include "dialogs/frmDlgOption.h"
#include "dialogs/frmDlgResAccount.h"
#include "dialogs/frmDlgResAccountList.h"

#include "capture/modCapture.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TestCaptureDriver.h"

#include "settings/ProgramObjects.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

CResAccount SampleSetting(const QString& name, const QStringList& addresses) {
    CResAccount setting;
    setting.Name = name;
    setting.ReductionWidth = 320;
    setting.vAcceptedMailAddrs = addresses;
    return setting;
}

void SampleSettings() {
    MailCheckInterval = 5;
    AcceptedLeftSubject = QStringLiteral("カメラ");
    DeleteAfterReply = true;
    RequireAuthenticatedSender = true;
    TrustedAuthServId = QStringLiteral("mx.example.jp");
    MaxRepliesPerSenderPerHour = 5;
    MotionAlert = true;
    MotionAlertSetting = QStringLiteral("家族");
    CurrentMailAccount.Name = QStringLiteral("留守番カメラ");
    CurrentMailAccount.MailAddr = QStringLiteral("camera@example.jp");
    CurrentMailAccount.UserName = QStringLiteral("camera");
    CurrentMailAccount.Password = QStringLiteral("secret");
    CurrentMailAccount.POPHost = QStringLiteral("pop.example.jp");
    CurrentMailAccount.SMTPHost = QStringLiteral("smtp.example.jp");
    ResponseSettings = {
        SampleSetting(QStringLiteral("家族"),
                      {QStringLiteral("mother@example.jp"), QStringLiteral("father@example.jp")}),
        SampleSetting(QStringLiteral("友人"), {QStringLiteral("friend@example.jp")}),
        SampleSetting(QStringLiteral("携帯電話"), {QStringLiteral("me@mobile.example.jp")}),
    };
    ResponseSettings[2].FormatType = 2;
    ResponseSettings[2].ColorBit = 8;
}

// Shows window, waits until the server has drawn it and saves the screen's pixels of it, and
// its control names beside them.
bool Shoot(QWidget* window, const QString& path) {
    window->show();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 500) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const QPixmap shot = window->screen()->grabWindow(window->winId());
    QFile names(QString(path).replace(QStringLiteral(".png"), QStringLiteral(".objects")));
    const bool saved = !shot.isNull() && shot.save(path, "PNG", 9) &&
                       names.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       names.write((ControlNames(window).join(u'\n') + u'\n').toUtf8()) > 0;
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    window->hide();
    return saved;
}

// The image info window of setting, on the test camera's picture, from a program folder of
// its own with the two libraries copied in.
bool ShootImageInfo(const CResAccount& setting, const QString& path) {
    QTemporaryDir programFolder;
    const QDir built(QStringLiteral(VISTREL_PROGRAM_DIR));
    for (const QString& name : {QStringLiteral("libpelcodec.so"), QStringLiteral("libpelimage.so")})
        if (!QFile::copy(built.filePath(name), QDir(programFolder.path()).filePath(name)))
            return false;
    QDir(programFolder.path()).mkdir(QStringLiteral("temp"));
    SetProgramFolder(programFolder.path());
    SetCaptureDriversForTest({std::make_shared<TestCaptureDriver>("test camera", "1.0",
                                                                  std::vector<QSize>{{640, 480}})});
    PictureBox host;
    host.resize(640, 480);
    if (!CreateCapture(0, &host, 30))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents();
    bool saved = false;
    QTimer::singleShot(300, [&] {
        if (QWidget* window = QApplication::activeModalWidget()) {
            saved = Shoot(window, path);
            window->close();
        }
    });
    ShowImageInfo(setting);
    DestroyCapture();
    SetCaptureDriversForTest({});
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vistrel_dialog_screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    RegisterFirstRunDialogs(); // the Gothic font substitutions
    SampleSettings();
    bool ok = true;

    frmDlgOption option;
    option.Loadset();
    ok &= Shoot(&option, folder.filePath(QStringLiteral("dialog-option.png")));

    frmDlgMailAccount account;
    account.Loadset(CurrentMailAccount);
    ok &= Shoot(&account, folder.filePath(QStringLiteral("dialog-mail-account.png")));

    frmDlgResAccountList list;
    list.RefreshList(0);
    ok &= Shoot(&list, folder.filePath(QStringLiteral("dialog-response-list.png")));

    frmDlgResAccount editor;
    editor.LoadExisting(ResponseSettings[0], 1);
    ok &= Shoot(&editor, folder.filePath(QStringLiteral("dialog-response-setting.png")));

    CResAccount reduced = ResponseSettings[0];
    reduced.DoReduction = 1;
    reduced.ReductionWidth = 160;
    ok &= ShootImageInfo(reduced, folder.filePath(QStringLiteral("dialog-image-info.png")));
    return ok ? 0 : 1;
}
