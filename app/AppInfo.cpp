#include "app/AppInfo.h"

#include "app/AppInfoConfig.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"

#include <QStringList>

AppVersionNumber AppVersion() {
    return {VISTREL_VERSION_MAJOR, VISTREL_VERSION_MINOR, VISTREL_VERSION_REVISION};
}

QString VersionLine(const QString& title, const AppVersionNumber& version) {
    return QStringLiteral("%1  version %2.%3 .%4")
        .arg(title)
        .arg(version.major)
        .arg(version.minor, 2, 10, QChar(u'0'))
        .arg(version.revision, 4, 10, QChar(u'0'));
}

QString VersionBoxText() {
    const QStringList lines{QString(),
                            VersionLine(AppTitle(), AppVersion()),
                            QString(),
                            QStringLiteral("mailto:") + QString::fromUtf8(VISTREL_MAIL),
                            HomepageAddress(),
                            QString(),
                            QString::fromUtf8(VISTREL_RIGHTS)};
    return lines.join(QStringLiteral("\r\n"));
}

QString HelpPageTarget() {
    const QString page = QString::fromUtf8(VISTREL_HELP_PAGE);
    return IsShellAddress(page) ? page : ProgramFolder() + u'/' + page;
}

QString HomepageAddress() {
    return QString::fromUtf8(VISTREL_HOMEPAGE);
}
