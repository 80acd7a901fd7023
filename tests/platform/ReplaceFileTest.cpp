// The one writer of output files: regular files are replaced in both modes, everything else
// at the path is refused and left as it was.
#include "platform/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(ReplaceFile, RegularFilesAndAbsentPathsGetTheNewContentInBothModes) {
    QTemporaryDir dir;
    for (Durability mode : {Durability::Scratch, Durability::Durable}) {
        const QString path = dir.filePath(QStringLiteral("out.bin"));
        ASSERT_TRUE(ReplaceFile(path, {"first", " part"}, mode));
        EXPECT_EQ(ReadAll(path), QByteArray("first part"));
        // A hard link to the old file keeps the old content: the file is replaced, not
        // rewritten in place.
        const QString link = dir.filePath(QStringLiteral("old.bin"));
        ASSERT_EQ(::link(QFile::encodeName(path), QFile::encodeName(link)), 0);
        ASSERT_TRUE(ReplaceFile(path, {"new"}, mode));
        EXPECT_EQ(ReadAll(path), QByteArray("new"));
        EXPECT_EQ(ReadAll(link), QByteArray("first part"));
        EXPECT_TRUE(ReplaceFile(path, {}, mode));
        EXPECT_EQ(QFileInfo(path).size(), 0);
        QFile::remove(path);
        QFile::remove(link);
    }
    EXPECT_FALSE(ReplaceFile(QString(), {"x"}, Durability::Scratch));
}

TEST(ReplaceFile, SpecialFilesLinksAndFoldersAreRefusedAndLeftAlone) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo), 0600), 0);
    const QString target = dir.filePath(QStringLiteral("target"));
    ASSERT_TRUE(ReplaceFile(target, {"kept"}, Durability::Durable));
    const QString symlink = dir.filePath(QStringLiteral("symlink"));
    ASSERT_TRUE(QFile::link(target, symlink));
    const QString folder = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));

    for (const QString& path : {fifo, symlink, folder}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(IsReplaceablePath(path));
        for (Durability mode : {Durability::Scratch, Durability::Durable})
            EXPECT_FALSE(ReplaceFile(path, {"bytes"}, mode));
    }
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_TRUE(QFileInfo(symlink).isSymLink());
    EXPECT_EQ(ReadAll(target), QByteArray("kept"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(IsReplaceablePath(target));
    EXPECT_TRUE(IsReplaceablePath(dir.filePath(QStringLiteral("absent"))));
}
