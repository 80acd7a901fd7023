#include "app/Form1.h"

#include "app/CaptureLayout.h"
#include "app/MotionAlert.h"
#include "app/MotionWatch.h"
#include "capture/modCapture.h"
#include "imaging/PelImage.h"
#include "imaging/TempFolder.h"
#include "log/WriteLog.h"
#include "mailcheck/CIMAP.h"
#include "mailcheck/CPOP3.h"
#include "mailcheck/IMAPPush.h"
#include "mailcheck/SocketRouting.h"
#include "mailcheck/modMailCheck.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "platform/SocketControl.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/StatusLine.h"
#include "reply/CSMTP.h"
#include "settings/AllSettings.h"
#include "settings/ProgramObjects.h"
#include "settings/modFileAccess.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <QTimer>
#include <utility>

namespace {

constexpr int MailCheckPeriodMs = 60000;
constexpr int ResizeDelayMs = 100;
constexpr int PushLookMs = 1000;
constexpr double ClientWidthTwips = 5625;
constexpr double ClientHeightTwips = 5055;
constexpr double LabelHeightTwips = 255;

int TwipsToPixelsX(double twips) {
    return static_cast<int>(RoundHalfEven(twips / GetScreenMetrics().twipsPerPixelX));
}

int TwipsToPixelsY(double twips) {
    return static_cast<int>(RoundHalfEven(twips / GetScreenMetrics().twipsPerPixelY));
}

} // namespace

Form1::Form1(std::function<void()> runCheck)
    : schedule([this, check = runCheck ? std::move(runCheck) : std::function<void()>([] {
                          RunMailCheck(CurrentMailAccount);
                      })] {
          // A check that fell due during an alert does not hold up a close that came then.
          if (!closePending)
              check();
          AfterWork();
      }),
      motion(std::make_unique<MotionWatch>(
          schedule,
          [this](const QImage& picture, const CResAccount& setting, const QStringList& recipients) {
              const QStringList again =
                  SendMotionAlert(CurrentMailAccount, setting, picture, recipients);
              AfterWork();
              return again;
          })),
      tmrMailCheck(new QTimer(this)), tmrResize(new QTimer(this)), sckPOP(new SocketControl(this)),
      sckSMTP(new SocketControl(this)), sckIMAP(new SocketControl(this)), tmrPush(new QTimer(this)),
      sckIDLE(new SocketControl(this)) {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    picCapture = new PictureBox(client);
    picTemp = new PictureBox(client);
    picTemp1 = new PictureBox(client);
    picTemp2 = new PictureBox(client);
    for (PictureBox* scratch : {picTemp, picTemp1, picTemp2})
        scratch->SetAutoSize(true);
    lblInformation = new StatusLine(client);
    lblInformation->setObjectName(QStringLiteral("lblInformation"));
    picCapture->setObjectName(QStringLiteral("picCapture"));
    lblInformation->resize(lblInformation->width(), TwipsToPixelsY(LabelHeightTwips));
    resize(TwipsToPixelsX(ClientWidthTwips),
           TwipsToPixelsY(ClientHeightTwips) + menuBar()->sizeHint().height());
    BuildMenus();

    tmrMailCheck->setInterval(MailCheckPeriodMs);
    connect(tmrMailCheck, &QTimer::timeout, this, &Form1::tmrMailCheck_Timer);
    tmrResize->setSingleShot(true);
    // Never early: the rebuild waits the full 100 ms after the last size change.
    tmrResize->setTimerType(Qt::PreciseTimer);
    connect(tmrResize, &QTimer::timeout, this, [this] {
        tmrResize->stop();
        Capture_Resize();
    });

    routing = std::make_unique<SocketRouting>(*sckPOP, POP3Client(), *sckSMTP, SMTPClient());
    imapRouting = std::make_unique<IMAPRouting>(*sckIMAP, IMAPClient());
    // A new message starts a check only when one could start from the menu: not during a
    // check, with a dialog open (the timer stopped) or on the way out.
    push = std::make_unique<IMAPPush>(*sckIDLE, [this] {
        if (schedule.Checking() || !tmrMailCheck->isActive() || closePending)
            return false;
        schedule.RunNow();
        return true;
    });
    tmrPush->setInterval(PushLookMs);
    connect(tmrPush, &QTimer::timeout, this, [this] { push->Tick(CurrentMailAccount); });
}

Form1::~Form1() {
    SetPreviewWatcher({});
    SetStillCapture({});
    SetInformationSink({});
    if (MainWindowPlacement() == this)
        SetMainWindowPlacement(nullptr);
}

bool Form1::Form_Load() {
    QString loadError;
    if (!InitImageLibrary(loadError)) {
        MsgBox(MsgIcon::Critical, AppTitle(), loadError);
        return false;
    }
    setWindowTitle(AppTitle());
    for (PictureBox* scratch : {picTemp, picTemp1, picTemp2})
        scratch->hide();
    tmrMailCheck->start();
    tmrResize->stop();
    tmrResize->setInterval(ResizeDelayMs);
    MakeFolder(OptionsFolder());
    MakeFolder(TempFolder());
    SetInformationSink([this](const QString& text) { lblInformation->SetLine(text); });
    SetMainWindowPlacement(this);

    MailCheckInterval = 5;
    AcceptedLeftSubject.clear();
    if (!LoadAllSettings()) {
        tmrMailCheck->stop();
        return false;
    }

    POP3Client().Init(*sckPOP);
    IMAPClient().Init(*sckIMAP);
    SMTPClient().Init(*sckSMTP);
    SetStillCapture([this](const QString& path) { CaptureToFile(path, picTemp); });
    SetPreviewWatcher(
        {[this](const QImage& frame) { motion->Frame(frame); }, [this] { motion->Restarted(); }});
    BuildDriverMenu();
    Capture_Resize();
    schedule.ClientsBound();
    tmrPush->start();
    return true;
}

void Form1::Form_Unload() {
    if (unloaded)
        return;
    unloaded = true;
    tmrMailCheck->stop();
    tmrPush->stop();
    push->Stop();
    tmrResize->stop();
    SetPreviewWatcher({});
    // What could not be saved keeps its old file; the user must know that the changes are lost.
    if (!SaveAllSettings())
        MsgBox(MsgIcon::Critical, AppTitle(),
               QStringLiteral("設定を保存できませんでした。前回の設定はそのまま残っています。\n") +
                   QDir::toNativeSeparators(OptionsFolder()));
    DestroyCapture();
    ClearTempFolder();
    emit Unloaded();
}

void Form1::AfterWork() {
    if (closePending)
        QTimer::singleShot(0, this, &QWidget::close);
    else if (std::exchange(reloadPending, false))
        QTimer::singleShot(0, this, &Form1::ReloadSettings);
}

void Form1::ReloadSettings() {
    if (schedule.Busy()) {
        reloadPending = true;
        return;
    }
    WriteLog(ReloadAllSettings()
                 ? QStringLiteral("設定を読み込み直しました")
                 : QStringLiteral("設定を読み込み直せませんでした。前の設定のまま続けます"));
}

void Form1::closeEvent(QCloseEvent* event) {
    // Shutdown must not pull the settings and temp/ from under a running check or alert: it
    // is cancelled, and the close comes again when it has ended.
    if (schedule.Busy()) {
        closePending = true;
        tmrMailCheck->stop();
        CancelMailCheck();
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::tmrMailCheck_Timer() {
    schedule.Tick(MailCheckInterval);
}

void Form1::mnuTest_MailCheck_Click() {
    schedule.RunNow();
}

void Form1::MailCheck_StopTimer() {
    tmrMailCheck->stop();
}

void Form1::MailCheck_BeginTimer() {
    tmrMailCheck->start();
}

bool Form1::MailCheckTimerEnabled() const {
    return tmrMailCheck->isActive();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize() {
    // One rebuild of the layout and the capture window, 100 ms after the last size change.
    tmrResize->stop();
    tmrResize->start();
}

void Form1::Capture_Resize() {
    const ScreenMetrics screen = GetScreenMetrics();
    const QWidget* client = centralWidget();
    const double clientWidth = client->width() * screen.twipsPerPixelX;
    const double clientHeight = client->height() * screen.twipsPerPixelY;
    const double labelHeight = lblInformation->height() * screen.twipsPerPixelY;
    const CaptureLayout layout = LayoutCapture(clientWidth, clientHeight, labelHeight);
    lblInformation->setGeometry(TwipsToPixelsX(layout.labelLeft), TwipsToPixelsY(layout.labelTop),
                                std::max(0, TwipsToPixelsX(layout.labelWidth)),
                                lblInformation->height());
    picCapture->setGeometry(0, 0, std::max(0, TwipsToPixelsX(layout.previewWidth)),
                            std::max(0, TwipsToPixelsY(layout.previewHeight)));
    if (lblNoCamera != nullptr)
        lblNoCamera->setGeometry(picCapture->rect());

    DestroyCapture();
    const size_t selected = static_cast<size_t>(DeviceDriverIndex) + 1;
    if (selected >= mnuDevice_Drivers.size() || !mnuDevice_Drivers[selected]->isEnabled())
        return;
    if (CreateCapture(DeviceDriverIndex, picCapture, 60)) {
        CenterCapture(picCapture);
        return;
    }
    mnuDevice_Drivers[selected]->setEnabled(false);
    MsgBox(MsgIcon::Critical, QStringLiteral("Error"),
           QStringLiteral("キャプチャデバイスにアクセスできませんでした\r\nindex: %1  %2")
               .arg(DeviceDriverIndex)
               .arg(mnuDevice_Drivers[selected]->text()));
}

int Form1::WindowState() const {
    if (isMinimized())
        return 1;
    return isMaximized() ? 2 : 0;
}

void Form1::SetWindowState(int state) {
    if (state == 1)
        showMinimized();
    else if (state == 2)
        setWindowState(Qt::WindowMaximized);
    else
        setWindowState(Qt::WindowNoState);
}

QRect Form1::NormalBounds() const {
    const QRect normal = normalGeometry();
    return normal.isValid() ? normal : geometry();
}

void Form1::SetNormalBounds(const QRect& bounds) {
    setGeometry(bounds);
}
