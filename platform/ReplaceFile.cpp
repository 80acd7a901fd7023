#include "platform/ReplaceFile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>

bool IsReplaceablePath(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

namespace {
// The flush is checked here: a small file sits in the device's buffer until it, and a save
// file's commit would take a failed flush for success. A save file starts with the mode of the
// file it replaces, so the mode is set on every write, not only on creation.
template <typename File> bool WriteParts(File& file, std::initializer_list<QByteArrayView> parts) {
    if (::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0)
        return false;
    for (QByteArrayView part : parts) {
        if (file.write(part.data(), part.size()) != part.size())
            return false;
    }
    return file.flush();
}
} // namespace

bool ReplaceFile(const QString& path, std::initializer_list<QByteArrayView> parts,
                 Durability durability) {
    if (path.isEmpty() || !IsReplaceablePath(path))
        return false;
    if (durability == Durability::Durable) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (!WriteParts(file, parts)) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }
    QFile::remove(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && WriteParts(file, parts);
}
