// The main window's menu bar and the commands behind it: the device, settings and help menus
// (the test command is the mail-check schedule's, in Form1.cpp).
#include "app/AppInfo.h"
#include "app/Form1.h"
#include "app/modShellEx.h"
#include "capture/mVFW.h"
#include "capture/modCapture.h"
#include "dialogs/frmDlgMailAccount.h"
#include "dialogs/frmDlgOption.h"
#include "dialogs/frmDlgResAccountList.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"
#include "platform/ui/PictureBox.h"
#include "settings/ProgramObjects.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {

// A menu item named objectName; captions are stored as shown, "&&" for one ampersand.
template <typename Slot>
QAction* AddItem(QMenu* menu, const char* objectName, const QString& caption, Form1* form,
                 Slot slot, const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(objectName));
    item->setShortcut(shortcut);
    QObject::connect(item, &QAction::triggered, form, slot);
    return item;
}

QMenu* AddMenu(QMenuBar* bar, const char* objectName, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(objectName));
    menu->menuAction()->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

void AddSeparator(QMenu* menu, const char* objectName) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(objectName));
}

// The help commands neither wait nor look at the result: a document or an address that
// cannot be opened fails quietly.
void OpenWithShell(const QString& target) {
    RunShell(target, SW_SHOWNORMAL, 0, false);
}

} // namespace

void Form1::BuildMenus() {
    mnuDevice = AddMenu(menuBar(), "mnuDevice", QStringLiteral("デバイス(&D)"));
    AddItem(mnuDevice, "mnuDevice_VideoFormat", QStringLiteral("ビデオフォーマット(&F)..."), this,
            &Form1::mnuDevice_VideoFormat_Click, QKeySequence(Qt::CTRL | Qt::Key_F));
    AddItem(mnuDevice, "mnuDevice_VideoSource", QStringLiteral("ビデオソース(&S)..."), this,
            &Form1::mnuDevice_VideoSource_Click, QKeySequence(Qt::CTRL | Qt::Key_S));
    AddSeparator(mnuDevice, "mnuDevice_1");
    QAction* placeholder = mnuDevice->addAction(QString());
    placeholder->setObjectName(QStringLiteral("mnuDevice_Drivers_0"));
    placeholder->setVisible(false);
    mnuDevice_Drivers.push_back(placeholder);

    QMenu* mnuSetting = AddMenu(menuBar(), "mnuSetting", QStringLiteral("設定(&O)"));
    AddItem(mnuSetting, "mnuSetting_MailAccount", QStringLiteral("メールアカウント(&M)..."), this,
            &Form1::mnuSetting_MailAccount_Click, QKeySequence(Qt::CTRL | Qt::Key_A));
    AddItem(mnuSetting, "mnuSetting_ResAccountList", QStringLiteral("返信アカウント(&R)..."), this,
            &Form1::mnuSetting_ResAccountList_Click, QKeySequence(Qt::CTRL | Qt::Key_R));
    AddSeparator(mnuSetting, "mnuSetting_1");
    AddItem(mnuSetting, "mnuSetting_Option", QStringLiteral("オプション(&O)..."), this,
            &Form1::mnuSetting_Option_Click, QKeySequence(Qt::CTRL | Qt::Key_O));

    QMenu* mnuTest = AddMenu(menuBar(), "mnuTest", QStringLiteral("テスト(&T)"));
    AddItem(mnuTest, "mnuTest_MailCheck", QStringLiteral("メールチェック&&返信(&M)"), this,
            &Form1::mnuTest_MailCheck_Click, QKeySequence(Qt::CTRL | Qt::Key_M));

    QMenu* mnuHelp = AddMenu(menuBar(), "mnuHelp", QStringLiteral("ヘルプ(&H)"));
    AddItem(mnuHelp, "mnuHelp_ReadMe", QStringLiteral("&ReadMe"), this,
            &Form1::mnuHelp_ReadMe_Click);
    AddItem(mnuHelp, "mnuHelp_ToHelp", QStringLiteral("ヘルプへ(&H)"), this,
            &Form1::mnuHelp_ToHelp_Click);
    AddItem(mnuHelp, "mnuHelp_Homepage", QStringLiteral("ホームページへ(&P)"), this,
            &Form1::mnuHelp_Homepage_Click);
    AddSeparator(mnuHelp, "mnuHelp_1");
    AddItem(mnuHelp, "mnuHelp_About", QStringLiteral("バージョン情報(&A)..."), this,
            &Form1::mnuHelp_About_Click);
}

void Form1::BuildDriverMenu() {
    QStringList drivers;
    const int count = GetCaptureDrivers(drivers);
    if (count == 0) {
        // Said where the picture and the drivers would be; the driver dialogs have no driver.
        const QString none = QStringLiteral("カメラが見つかりません");
        QAction* noCamera = mnuDevice->addAction(none);
        noCamera->setObjectName(QStringLiteral("mnuDevice_NoCamera"));
        noCamera->setEnabled(false);
        for (const char* name : {"mnuDevice_VideoFormat", "mnuDevice_VideoSource"})
            mnuDevice->findChild<QAction*>(QString::fromLatin1(name))->setEnabled(false);
        lblNoCamera = new QLabel(none, picCapture);
        lblNoCamera->setObjectName(QStringLiteral("lblNoCamera"));
        lblNoCamera->setAlignment(Qt::AlignCenter);
    }
    for (int k = 1; k <= count; ++k) {
        QAction* item = mnuDevice->addAction(TrimNull(drivers[k - 1]));
        item->setObjectName(QStringLiteral("mnuDevice_Drivers_%1").arg(k));
        item->setCheckable(true);
        item->setChecked(k == DeviceDriverIndex + 1);
        item->setVisible(true);
        connect(item, &QAction::triggered, this, [this, k] { mnuDevice_Drivers_Click(k); });
        mnuDevice_Drivers.push_back(item);
    }
}

void Form1::mnuDevice_Drivers_Click(int index) {
    for (QAction* item : mnuDevice_Drivers)
        item->setChecked(false);
    mnuDevice_Drivers[static_cast<size_t>(index)]->setChecked(true);
    DeviceDriverIndex = index - 1;
    Capture_Resize();
}

void Form1::mnuDevice_VideoFormat_Click() {
    MailCheck_StopTimer();
    // A new frame size needs a new layout: the capture window is rebuilt 100 ms later.
    if (capDlgVideoFormat(CaptureWindowHandle()))
        Form_Resize();
    MailCheck_BeginTimer();
}

void Form1::mnuDevice_VideoSource_Click() {
    MailCheck_StopTimer();
    capDlgVideoSource(CaptureWindowHandle());
    MailCheck_BeginTimer();
}

void Form1::mnuSetting_MailAccount_Click() {
    MailCheck_StopTimer();
    frmDlgMailAccount dialog(this);
    if (dialog.DlgLoad(CurrentMailAccount) && dialog.EditedMailAccount())
        CurrentMailAccount = *dialog.EditedMailAccount();
    MailCheck_BeginTimer();
}

void Form1::mnuSetting_ResAccountList_Click() {
    MailCheck_StopTimer();
    frmDlgResAccountList dialog(this);
    dialog.DlgShow();
    MailCheck_BeginTimer();
}

void Form1::mnuSetting_Option_Click() {
    MailCheck_StopTimer();
    frmDlgOption dialog(this);
    dialog.DlgShow();
    MailCheck_BeginTimer();
}

void Form1::mnuHelp_ReadMe_Click() {
    OpenWithShell(ProgramFolder() + QStringLiteral("/ReadMe.txt"));
}

void Form1::mnuHelp_ToHelp_Click() {
    OpenWithShell(HelpPageTarget());
}

void Form1::mnuHelp_Homepage_Click() {
    OpenWithShell(HomepageAddress());
}

void Form1::mnuHelp_About_Click() {
    MsgBox(MsgIcon::Information, QStringLiteral("バージョン情報"), VersionBoxText());
}
