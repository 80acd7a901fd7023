#include "app/ProgramOptions.h"

#include "app/AppInfo.h"

#include <QCommandLineParser>

namespace {

const QString HeadlessName = QStringLiteral("headless");
const QString CheckOnceName = QStringLiteral("check-once");
const QString SettingsFolderName = QStringLiteral("settings-folder");
const QString SetPasswordName = QStringLiteral("set-password");
const QString SetSMTPPasswordName = QStringLiteral("set-smtp-password");

// The parser with every option; help and version are its own.
void DescribeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "A camera that answers e-mail: it checks one mailbox and answers each request from an "
        "accepted sender with a still of the camera."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {HeadlessName,
         QStringLiteral("Run without a window (no display needed): the same start-up, mail "
                        "checks, camera and shutdown; each log line also goes to standard error. "
                        "A setting that would open a dialog ends the run with exit code 78.")},
        {CheckOnceName, QStringLiteral("Run one mail check without a window, save, and end: "
                                       "exit code 0 when the check ran, 1 with the reason "
                                       "on standard error when it could not.")},
        {SettingsFolderName,
         QStringLiteral("Keep options/ and temp/ in <dir> instead of the program folder or "
                        "~/.config/vistrel and ~/.cache/vistrel."),
         QStringLiteral("dir")},
        {SetPasswordName, QStringLiteral("Read the mail account's password from standard input "
                                         "(not echoed on a terminal), store it encrypted in "
                                         "main.mla, and end.")},
        {SetSMTPPasswordName, QStringLiteral("The same for the SMTP server's own password.")},
    });
}

} // namespace

bool ParseProgramOptions(const QStringList& arguments, ProgramOptions& retOptions, int& retExitCode,
                         QString& retText) {
    QCommandLineParser parser;
    DescribeOptions(parser);
    retExitCode = 0;
    const auto usage = [&](const QString& problem) {
        retExitCode = ExitUsage;
        retText = problem + QStringLiteral("\nTry '--help' for the options.\n");
        return false;
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("Unexpected argument: ") + parser.positionalArguments()[0]);
    if (parser.isSet(QStringLiteral("help"))) {
        retText = ProgramHelpText();
        return false;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        retText = VersionBoxText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed() +
                  u'\n';
        return false;
    }
    ProgramOptions options;
    options.headless = parser.isSet(HeadlessName);
    options.checkOnce = parser.isSet(CheckOnceName);
    options.settingsFolder = parser.value(SettingsFolderName);
    if (parser.isSet(SetPasswordName))
        options.setPassword = ProgramOptions::Password::Mail;
    if (parser.isSet(SetSMTPPasswordName))
        options.setPassword = ProgramOptions::Password::SMTP;
    const int modes = int(options.headless) + int(options.checkOnce) +
                      int(parser.isSet(SetPasswordName)) + int(parser.isSet(SetSMTPPasswordName));
    if (modes > 1)
        return usage(QStringLiteral("--headless, --check-once, --set-password and "
                                    "--set-smtp-password exclude each other."));
    retOptions = options;
    return true;
}

QString ProgramHelpText() {
    QCommandLineParser parser;
    DescribeOptions(parser);
    // Read before the application object exists, the parser cannot know the program's name.
    return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                     QStringLiteral("vistrel101"));
}
