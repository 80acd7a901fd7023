#include "app/ProgramRun.h"

#include "app/Form1.h"
#include "app/ProgramFolderCheck.h"
#include "app/ProgramOptions.h"
#include "app/UnattendedFirstRun.h"
#include "dialogs/FirstRunRegistration.h"
#include "log/WriteLog.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SecretInput.h"
#include "platform/ui/QtTranslation.h"
#include "platform/ui/TerminationSignal.h"
#include "platform/ui/WindowedMsgBox.h"
#include "settings/MailAccountFile.h"
#include "settings/SettingKeys.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <unistd.h>

namespace {

// Without a window a box is a log line, answered as nobody's choice would be.
MsgAnswer LogBox(const MsgBoxRequest& box) {
    WriteLog(box.title + QStringLiteral(": ") +
             QString(box.text).replace(u'\r', u' ').replace(u'\n', u' '));
    return SafeAnswer(box.buttons);
}

// --set-password, --set-smtp-password: the account must load, so that nothing else in it
// changes.
int StorePassword(ProgramOptions::Password which) {
    InitSettingKeys();
    CMailAccount account;
    bool isError = false, isLoaded = false;
    LoadMailAccountFile(OptionsFolder(), account, isError, isLoaded);
    if (!isLoaded) {
        WriteLog(
            QStringLiteral("メールアカウントの設定がないか壊れています: %1/%2")
                .arg(QDir::toNativeSeparators(OptionsFolder()), MailAccountFault(OptionsFolder())));
        return ExitConfig;
    }
    QString password;
    if (!ReadSecretLine(QStringLiteral("Password: "), password)) {
        std::fputs("No password on standard input.\n", stderr);
        return 1;
    }
    (which == ProgramOptions::Password::Mail ? account.Password : account.SMTPPassword) = password;
    if (!SaveMailAccountFile(OptionsFolder(), account)) {
        WriteLog(QStringLiteral("設定を保存できませんでした ") + OptionsFolder());
        return 1;
    }
    return 0;
}

// --check-once: one check now, then the shutdown. It ran when it logged in; otherwise its
// last log line, already on standard error, is the reason.
int CheckOnce(Form1& form) {
    bool loggedIn = false;
    InformationSink statusLine = SetInformationSink({});
    SetInformationSink([&](const QString& text) {
        loggedIn = loggedIn || text.endsWith(QStringLiteral("  ログインしました"));
        if (statusLine)
            statusLine(text);
    });
    form.mnuTest_MailCheck_Click();
    form.Form_Unload();
    SetInformationSink(statusLine);
    return loggedIn ? 0 : 1;
}

} // namespace

int RunProgram(int argc, char* argv[]) {
    CatchTerminationSignals();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    ProgramOptions options;
    int exitCode = 0;
    QString text;
    if (!ParseProgramOptions(arguments, options, exitCode, text)) {
        std::fputs(text.toLocal8Bit().constData(), exitCode == 0 ? stdout : stderr);
        return exitCode;
    }
    // The window's code runs as it is, drawn nowhere: one program, with or without a screen.
    if (options.WithoutWindow())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallQtJapanese(); // without it Qt's own texts stay English
    if (options.WithoutWindow()) {
        MirrorLogToStandardError();
        SetMsgBoxHandler(LogBox);
    } else {
        InstallWindowedMsgBox();
    }
    QString folderNote;
    if (!ChooseDataFolders(options.settingsFolder, folderNote)) {
        MsgBox(MsgIcon::Critical, AppTitle(), folderNote);
        return 1;
    }
    if (!CheckProgramFolderWritable())
        return 1;
    if (!folderNote.isEmpty())
        WriteLog(folderNote);
    if (options.setPassword != ProgramOptions::Password::None)
        return StorePassword(options.setPassword);

    // Until start-up is done nothing has been read into memory that must be saved: an end
    // asked for meanwhile (a first-run dialog open) ends the program at once, as a cancelled
    // first run does.
    HandleTerminationSignals([] { _exit(0); });
    std::optional<UnattendedFirstRun> unattended;
    if (options.WithoutWindow())
        unattended.emplace();
    else
        RegisterFirstRunDialogs();
    Form1 form;
    const bool loaded = form.Form_Load();
    if (unattended && unattended->SettingMissing())
        return ExitConfig;
    if (!loaded)
        return 1;
    HandleTerminationSignals([&form] { CloseWithItsDialogs(&form); },
                             options.headless
                                 ? std::function<void()>([&form] { form.ReloadSettings(); })
                                 : std::function<void()>());
    if (options.checkOnce)
        return CheckOnce(form);
    // Shown nowhere, the window would only cost memory; its close ends the loop instead.
    if (options.headless)
        QObject::connect(&form, &Form1::Unloaded, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
    else
        form.show();
    return app.exec();
}
