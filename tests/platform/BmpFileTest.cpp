#include "platform/ui/BmpFile.h"
#include "platform/ui/PictureBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
quint32 U32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 U16(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}
} // namespace

TEST(BmpFile, HeaderAndBottomUpPaddedRowsOfBlueGreenRed) {
    // Five pixels make 15 bytes, padded to 16.
    QImage image(5, 2, QImage::Format_RGB888);
    for (int x = 0; x < 5; ++x) {
        image.setPixel(x, 0, qRgb(10 + x, 20 + x, 30 + x));
        image.setPixel(x, 1, qRgb(100 + x, 110 + x, 120 + x));
    }
    const QByteArray bytes = EncodeBmp24(image);
    ASSERT_EQ(bytes.size(), 54 + 16 * 2);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(U32(bytes, 2), 86u);  // file size
    EXPECT_EQ(U32(bytes, 10), 54u); // pixel offset
    EXPECT_EQ(U32(bytes, 14), 40u); // info header size
    EXPECT_EQ(U32(bytes, 18), 5u);
    EXPECT_EQ(U32(bytes, 22), 2u); // positive: bottom-up
    EXPECT_EQ(U16(bytes, 26), 1);
    EXPECT_EQ(U16(bytes, 28), 24);
    EXPECT_EQ(U32(bytes, 30), 0u); // uncompressed
    EXPECT_EQ(U32(bytes, 34), 32u);
    EXPECT_EQ(U32(bytes, 46), 0u); // no colour table
    // The first stored row is the image's bottom row.
    EXPECT_EQ(bytes.mid(54, 16), QByteArray("\x78\x6e\x64\x79\x6f\x65\x7a\x70\x66\x7b\x71\x67"
                                            "\x7c\x72\x68\x00",
                                            16));
    EXPECT_EQ(bytes.mid(70, 16), QByteArray("\x1e\x14\x0a\x1f\x15\x0b\x20\x16\x0c\x21\x17\x0d"
                                            "\x22\x18\x0e\x00",
                                            16));
    EXPECT_EQ(RowStride(1), 4);
    EXPECT_EQ(RowStride(4), 12);
    EXPECT_EQ(RowStride(322), 968);
}

TEST(BmpFile, PictureBoxSavesItsPersistentImageOrNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("still.bmp"));
    PictureBox box;
    EXPECT_FALSE(box.SavePicture(path));
    EXPECT_FALSE(QFile::exists(path));

    QImage image(3, 3, QImage::Format_ARGB32);
    image.fill(qRgb(1, 2, 3));
    box.SetAutoSize(true);
    box.SetPicture(image);
    EXPECT_EQ(box.size(), QSize(3, 3));
    ASSERT_TRUE(box.SavePicture(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), EncodeBmp24(image));
    EXPECT_EQ(EncodeBmp24(image).mid(54, 3), QByteArray("\x03\x02\x01"));

    // A folder that does not exist: false, and nothing written.
    EXPECT_FALSE(box.SavePicture(dir.filePath(QStringLiteral("missing/still.bmp"))));
}
