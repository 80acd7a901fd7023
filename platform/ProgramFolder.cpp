#include "platform/ProgramFolder.h"

#include <QCoreApplication>
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
