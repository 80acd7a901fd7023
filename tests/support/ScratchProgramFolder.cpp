#include "tests/support/ScratchProgramFolder.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>

ScratchProgramFolder::ScratchProgramFolder() : installed(&SetProgramFolder, dir.path()) {
    QDir(dir.path()).mkdir(QStringLiteral("options"));
    QDir(dir.path()).mkdir(QStringLiteral("temp"));
}

QByteArray ScratchProgramFolder::Read(const QString& relativePath) const {
    QFile file(dir.filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ScratchProgramFolder::Write(const QString& relativePath, const QByteArray& bytes) const {
    QFile file(dir.filePath(relativePath));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool ScratchProgramFolder::CopyBuiltLibraries() const {
    const QDir built(QStringLiteral(VISTREL_PROGRAM_DIR));
    for (const QString& name : {QStringLiteral("libpelcodec.so"), QStringLiteral("libpelimage.so")})
        if (!QFile::copy(built.filePath(name), dir.filePath(name)))
            return false;
    return true;
}
