#pragma once
// The main window: the live camera picture with the status line under it, the start-up and
// shutdown sequences, the one-minute mail-check timer, the motion alerts from the picture and
// the routing of socket events.
#include "app/MailCheckSchedule.h"
#include "settings/WindowPlacement.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class MotionWatch;
class PictureBox;
class SocketControl;
class IMAPPush;
class IMAPRouting;
class SocketRouting;
class QAction;
class QLabel;
class StatusLine;
class QMenu;
class QTimer;

class Form1 : public QMainWindow, public WindowPlacement {
    Q_OBJECT
  public:
    // runMailCheck runs one whole mail check; by default the mail-check cycle with the
    // current account. Tests put their own in its place.
    explicit Form1(std::function<void()> runMailCheck = {});
    ~Form1() override;

    // The start-up sequence. False when the program must end at once (the image library is
    // missing, or the first response setting was cancelled); nothing has been saved then.
    bool Form_Load();
    // The shutdown sequence; every step runs whatever the earlier ones did.
    void Form_Unload();
    // Reads the settings files again (ReloadAllSettings) and logs the outcome; during a mail
    // check, once the check has ended.
    void ReloadSettings();

    // One tick of the mail-check timer: counts it and runs the mail check when it falls due.
    void tmrMailCheck_Timer();
    // Runs one mail check at once, unless one is already running.
    void mnuTest_MailCheck_Click();
    // Around every modal dialog: the tick count survives a stop and a start.
    void MailCheck_StopTimer();
    void MailCheck_BeginTimer();

    // Lays out the preview and the status line and reopens the selected capture driver.
    void Capture_Resize();
    // A size change: Capture_Resize runs once, 100 ms after the last of a row of changes.
    void Form_Resize();

    int MailCheckCount() const { return schedule.Count(); }
    bool MailCheckTimerEnabled() const;

    // WindowPlacement: the placement the options file stores.
    int WindowState() const override;
    void SetWindowState(int state) override;
    QRect NormalBounds() const override;
    void SetNormalBounds(const QRect& bounds) override;

  signals:
    // The shutdown sequence has run: a run without a window, whose close ends no event loop,
    // ends here.
    void Unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The menu bar and its commands (MenuCommands.cpp).
    void BuildMenus();
    void BuildDriverMenu();
    void mnuDevice_Drivers_Click(int index);
    void mnuDevice_VideoFormat_Click();
    void mnuDevice_VideoSource_Click();
    void mnuSetting_MailAccount_Click();
    void mnuSetting_ResAccountList_Click();
    void mnuSetting_Option_Click();
    void mnuHelp_ReadMe_Click();
    void mnuHelp_ToHelp_Click();
    void mnuHelp_Homepage_Click();
    void mnuHelp_About_Click();

    // A close or a reload that came during a check or an alert runs now that it has ended.
    void AfterWork();

    MailCheckSchedule schedule;
    std::unique_ptr<MotionWatch> motion; // the alerts, beside the checks of schedule
    bool unloaded = false;
    bool closePending = false;  // a close came during a mail check
    bool reloadPending = false; // and so did a reload

    QTimer* tmrMailCheck;
    QTimer* tmrResize;
    SocketControl* sckPOP;
    SocketControl* sckSMTP;
    SocketControl* sckIMAP;
    std::unique_ptr<SocketRouting> routing;   // the socket events to the two clients
    std::unique_ptr<IMAPRouting> imapRouting; // and to the IMAP client
    QTimer* tmrPush;                          // the push's look, once a second
    SocketControl* sckIDLE;                   // the push's own connection
    std::unique_ptr<IMAPPush> push;
    PictureBox* picCapture;
    PictureBox* picTemp;
    PictureBox* picTemp1;
    PictureBox* picTemp2;
    StatusLine* lblInformation;
    QLabel* lblNoCamera = nullptr; // only when there is no camera
    QMenu* mnuDevice = nullptr;
    std::vector<QAction*> mnuDevice_Drivers; // item 0 is the hidden placeholder
};
