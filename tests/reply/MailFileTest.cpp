// The reply file's text helpers: code page 932 both ways, one CR LF added, special files
// refused without blocking, and the split at the first empty line.
#include "reply/MailFile.h"
#include "platform/CodePage.h"
#include "tests/support/BitmapSamples.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(MailFile, WriteAddsOneLineEndAndReadTakesTheCodePage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.eml"));
    const QString text = QString::fromUtf8("件名\r\n本文");
    ASSERT_TRUE(WriteTextFile(path, text));
    EXPECT_EQ(ReadWholeFile(path), ToCodePage932(text) + "\r\n");
    EXPECT_EQ(ReadFileAsText(path), text + QStringLiteral("\r\n"));
    // Replaced, not appended to.
    ASSERT_TRUE(WriteTextFile(path, QStringLiteral("x")));
    EXPECT_EQ(ReadWholeFile(path), QByteArray("x\r\n"));

    EXPECT_EQ(ReadFileAsText(dir.filePath(QStringLiteral("missing"))), QString());
    WriteWholeFile(dir.filePath(QStringLiteral("empty")), QByteArray());
    EXPECT_EQ(ReadFileAsText(dir.filePath(QStringLiteral("empty"))), QString());
}

TEST(MailFile, SpecialFilesAreRefusedWithoutBlocking) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening a FIFO with no writer would block; neither helper opens it.
    EXPECT_EQ(ReadFileAsText(fifo), QString());
    EXPECT_FALSE(WriteTextFile(fifo, QStringLiteral("x")));
    EXPECT_FALSE(WriteTextFile(dir.path(), QStringLiteral("x")));
    EXPECT_EQ(ReadFileAsText(dir.path()), QString());
}

TEST(MailFile, SplitTakesTheFirstEmptyLine) {
    struct Case {
        const char* mail;
        bool split;
        const char* header;
        const char* body;
    };
    const Case cases[] = {
        {"A: 1\r\nB: 2\r\n\r\nbody\r\n\r\nmore\r\n", true, "A: 1\r\nB: 2", "body\r\n\r\nmore\r\n"},
        {"A: 1\r\n\r\n", true, "A: 1", ""},
        {"\r\n\r\nbody", true, "", "body"},
        {"A: 1\r\nB: 2\r\n", false, "kept", "kept"},
        {"A: 1\n\nbody", false, "kept", "kept"},
        {"", false, "kept", "kept"},
    };
    for (const Case& c : cases) {
        QString header = QStringLiteral("kept"), body = QStringLiteral("kept");
        EXPECT_EQ(SplitMailFile(QString::fromLatin1(c.mail), header, body), c.split) << c.mail;
        EXPECT_EQ(header, QString::fromLatin1(c.header)) << c.mail;
        EXPECT_EQ(body, QString::fromLatin1(c.body)) << c.mail;
    }
}
