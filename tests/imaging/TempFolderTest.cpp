#include "imaging/TempFolder.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(ClearTempFolder, DeletesOrdinaryFilesUntilAReadOnlyOne) {
    ScratchProgramFolder folder;
    for (const char* name : {"a.bin", "b.bmp", "c.asc", ".hidden"})
        folder.Write(QStringLiteral("temp/") + QLatin1String(name), "x");
    QDir(folder.Path()).mkdir(QStringLiteral("temp/sub"));
    const QString readOnly = folder.Path() + QStringLiteral("/temp/b.bmp");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);

    ClearTempFolder();
    const QDir temp(folder.Path() + QStringLiteral("/temp"));
    EXPECT_EQ(
        temp.entryList(QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList{QStringLiteral(".hidden"), QStringLiteral("b.bmp"), QStringLiteral("c.asc")}));

    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ClearTempFolder();
    EXPECT_EQ(temp.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral(".hidden")});
    EXPECT_TRUE(temp.exists(QStringLiteral("sub")));
}
