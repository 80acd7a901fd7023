#include "platform/ProgramFolder.h"

#include <QCoreApplication>

namespace {
QString& Override() {
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder() {
    return Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
}

void SetProgramFolder(const QString& folder) {
    Override() = folder;
}

QString OptionsFolder() {
    return ProgramFolder() + QStringLiteral("/options");
}

QString TempFolder() {
    return ProgramFolder() + QStringLiteral("/temp");
}
