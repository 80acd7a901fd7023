#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QTemporaryFile>
#include <utility>

namespace {
QString& Override() {
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder() {
    return Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
}

QString SetProgramFolder(QString folder) {
    return std::exchange(Override(), std::move(folder));
}

QString OptionsFolder() {
    return ProgramFolder() + QStringLiteral("/options");
}

QString TempFolder() {
    return ProgramFolder() + QStringLiteral("/temp");
}

bool CanWriteIn(const QString& folder) {
    // Permission bits say nothing of a read-only mount or of an administrator's rights.
    QTemporaryFile probe(folder + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}
