#include "imaging/BitmapFile.h"
#include "imaging/modRotationImage.h"
#include "tests/support/BitmapSamples.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Rotation {
    QTemporaryDir dir;
    int step = 0;

    // Rotates file by type and answers the result ("" on failure).
    QByteArray Run(const QByteArray& file, int type) {
        const QString source = dir.filePath(QStringLiteral("in%1.bmp").arg(step));
        const QString dest = dir.filePath(QStringLiteral("out%1.bin").arg(step++));
        WriteWholeFile(source, file);
        return RotateImage(source, dest, type) ? ReadWholeFile(dest) : QByteArray();
    }
};

} // namespace

TEST(RotateImage, QuarterTurnSwapsTheSizeAndKeepsTheSizeFields) {
    Rotation r;
    const QByteArray source = MakeBitmap(3, 4);
    const QByteArray turned = r.Run(source, 1);
    LoadedBitmap loaded;
    ASSERT_TRUE(LoadBitmapFile(r.dir.filePath(QStringLiteral("out0.bin")), loaded));
    EXPECT_EQ(loaded.Width, 4);
    EXPECT_EQ(loaded.Height, 3);
    EXPECT_EQ(loaded.Header, source.left(18) + turned.mid(18, 8) + source.mid(26, 28));
    EXPECT_EQ(turned.mid(2, 4), source.mid(2, 4));   // file size of the 3 × 4 source
    EXPECT_EQ(turned.mid(34, 4), source.mid(34, 4)); // its image size too
    EXPECT_EQ(turned.size(), 54 + 12 * 3);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(PixelOf(turned, 4, i, 3 - 1 - j), SamplePixel(j, i));
    // Pad bytes of the new rows are 0 (width 4: none; width 3 after turning back: 3).
    const QByteArray back = r.Run(turned, 3);
    EXPECT_EQ(back, source);
}

TEST(RotateImage, OppositeTurnsGiveTheSourceBack) {
    Rotation r;
    for (const auto& [width, height] : {std::pair{5, 7}, std::pair{8, 3}, std::pair{1, 1}}) {
        const QByteArray source = MakeBitmap(width, height);
        EXPECT_EQ(r.Run(r.Run(source, 1), 3), source);
        EXPECT_EQ(r.Run(r.Run(source, 3), 1), source);
        EXPECT_EQ(r.Run(r.Run(source, 2), 2), source);
        EXPECT_EQ(r.Run(source, 0), source);
        const QByteArray half = r.Run(source, 2);
        EXPECT_EQ(PixelOf(half, width, 0, 0), SamplePixel(width - 1, height - 1));
        const QByteArray quarter = r.Run(source, 3);
        EXPECT_EQ(PixelOf(quarter, height, height - 1, 0), SamplePixel(0, 0));
    }
}

TEST(RotateImage, BadSourcesFail) {
    Rotation r;
    EXPECT_TRUE(r.Run(MakeBitmap(3, -4), 1).isEmpty());
    EXPECT_TRUE(r.Run(MakeBitmap(3, 4, -1), 2).isEmpty());
    EXPECT_TRUE(r.Run(QByteArray(55, 'B'), 1).isEmpty());
    EXPECT_TRUE(r.Run(MakeBitmap(3, 4), 4).isEmpty());
}
