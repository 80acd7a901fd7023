#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <utility>

namespace {

QString& Override() {
    static QString folder;
    return folder;
}

struct DataFolders {
    QString options;
    QString temp;
};

DataFolders& Chosen() {
    static DataFolders folders;
    return folders;
}

// A new folder, with any parent it needs, is the user's alone; an existing one is left as
// its owner set it.
bool MakePrivatePath(const QString& folder) {
    if (QDir(folder).exists())
        return true;
    return QDir().mkpath(folder) &&
           QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
}

// $variable/vistrel, or fallback/vistrel below the home folder when it is unset or relative
// (the base directory rules ignore a relative one).
QString XdgFolder(const char* variable, const char* fallback) {
    QString base = qEnvironmentVariable(variable);
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + u'/' + QLatin1String(fallback);
    return QDir::cleanPath(base) + QStringLiteral("/vistrel");
}

} // namespace

QString ProgramFolder() {
    return Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
}

QString SetProgramFolder(QString folder) {
    return std::exchange(Override(), std::move(folder));
}

QString OptionsFolder() {
    return Chosen().options.isEmpty() ? ProgramFolder() + QStringLiteral("/options")
                                      : Chosen().options;
}

QString TempFolder() {
    return Chosen().temp.isEmpty() ? ProgramFolder() + QStringLiteral("/temp") : Chosen().temp;
}

bool ChooseDataFolders(const QString& settingsFolder, QString& retNote) {
    retNote.clear();
    DataFolders folders;
    if (!settingsFolder.isEmpty()) {
        const QString parent = QDir(settingsFolder).absolutePath();
        folders = {parent + QStringLiteral("/options"), parent + QStringLiteral("/temp")};
    } else if (CanWriteIn(ProgramFolder())) {
        ResetDataFolders();
        return true;
    } else {
        folders = {XdgFolder("XDG_CONFIG_HOME", ".config") + QStringLiteral("/options"),
                   XdgFolder("XDG_CACHE_HOME", ".cache") + QStringLiteral("/temp")};
        retNote = QStringLiteral("プログラムのフォルダに書き込めないため、設定は %1 に、"
                                 "一時ファイルは %2 に保存します")
                      .arg(QDir::toNativeSeparators(folders.options),
                           QDir::toNativeSeparators(folders.temp));
    }
    for (const QString& folder : {folders.options, folders.temp}) {
        if (MakePrivatePath(folder))
            continue;
        retNote = QStringLiteral("フォルダを作成できませんでした %1").arg(folder);
        return false;
    }
    Chosen() = std::move(folders);
    return true;
}

void ResetDataFolders() {
    Chosen() = {};
}

bool CanWriteIn(const QString& folder) {
    // Permission bits say nothing of a read-only mount or of an administrator's rights.
    QTemporaryFile probe(folder + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}
