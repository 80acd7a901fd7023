#include "imaging/TempFolder.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>

// A file without its owner's write permission counts as read-only and stays, as does every
// file after it: the cleanup never removes what the user has protected.
void ClearTempFolder() {
    const QDir temp(TempFolder());
    const QFileInfoList files = temp.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (!file.permission(QFileDevice::WriteOwner) || !QFile::remove(file.absoluteFilePath()))
            return;
    }
}
