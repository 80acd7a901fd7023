#include "imaging/BitmapFile.h"
#include "imaging/modResizeImage.h"
#include "tests/support/BitmapSamples.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

struct Reduction {
    QTemporaryDir dir;
    QString source = dir.filePath(QStringLiteral("capture.bmp"));
    QString dest = dir.filePath(QStringLiteral("capture_rs.bin"));
    QByteArray result;
    int width = 0;
    int height = 0;

    bool Run(const QByteArray& file, float size, bool byWidth, bool smooth = false) {
        WriteWholeFile(source, file);
        const bool ok = smooth ? ReduceImageSmooth(source, dest, size, byWidth)
                               : ReduceImage(source, dest, size, byWidth);
        result = ReadWholeFile(dest);
        LoadedBitmap loaded;
        if (ok) {
            EXPECT_TRUE(LoadBitmapFile(dest, loaded));
        }
        width = loaded.Width;
        height = loaded.Height;
        return ok;
    }
};

qint32 Field(const QByteArray& file, int at) {
    return qFromLittleEndian<qint32>(reinterpret_cast<const uchar*>(file.constData()) + at);
}

} // namespace

TEST(RowStride, PadsThreeBytesAPixelToAMultipleOfFour) {
    EXPECT_EQ(RowStride(3), 12);
    EXPECT_EQ(RowStride(4), 12);
    EXPECT_EQ(RowStride(5), 16);
    EXPECT_EQ(RowStride(160), 480);
    int64_t size = 0;
    EXPECT_TRUE(PixelArraySize(5, 2, size));
    EXPECT_EQ(size, 32);
    EXPECT_FALSE(PixelArraySize(0, 2, size));
    EXPECT_FALSE(PixelArraySize(5, -1, size));
    EXPECT_FALSE(PixelArraySize(50000, 50000, size)); // past a 32-bit count
}

TEST(ReduceImage, QuarterWidthTakesEveryFourthPixel) {
    Reduction r;
    ASSERT_TRUE(r.Run(MakeBitmap(640, 480), 160, true));
    EXPECT_EQ(r.width, 160);
    EXPECT_EQ(r.height, 120);
    EXPECT_EQ(r.result.size(), 54 + 480 * 120);
    for (int i = 0; i < 120; ++i)
        for (int j = 0; j < 160; ++j)
            ASSERT_EQ(PixelOf(r.result, 160, j, i), SamplePixel(4 * j, 4 * i)) << j << "," << i;
}

TEST(ReduceImage, HalvesRoundToEven) {
    Reduction r;
    ASSERT_TRUE(r.Run(MakeBitmap(480, 320), 320, true));
    EXPECT_EQ(r.width, 320);
    EXPECT_EQ(r.height, 213);                                   // 320 × 320 / 480 = 213.3
    EXPECT_EQ(PixelOf(r.result, 320, 1, 0), SamplePixel(2, 0)); // 1.5 → 2
    EXPECT_EQ(PixelOf(r.result, 320, 3, 0), SamplePixel(4, 0)); // 4.5 → 4
    EXPECT_EQ(PixelOf(r.result, 320, 5, 0), SamplePixel(8, 0)); // 7.5 → 8
    // By height: 320 high becomes 160, so the width halves to 240.
    ASSERT_TRUE(r.Run(MakeBitmap(480, 320), 160, false));
    EXPECT_EQ(r.width, 240);
    EXPECT_EQ(r.height, 160);
    // The size itself rounds to even: 200.5 is 200.
    ASSERT_TRUE(r.Run(MakeBitmap(480, 320), 200.5f, true));
    EXPECT_EQ(r.width, 200);
}

TEST(ReduceImage, EnlargingStopsAtTheEndOfThePixelData) {
    Reduction r;
    EXPECT_TRUE(r.Run(MakeBitmap(100, 100), 199, true));
    EXPECT_EQ(r.height, 199);
    // The last destination row maps to source row 100, one past the data.
    EXPECT_FALSE(r.Run(MakeBitmap(100, 100), 200, true));
    // Data beyond the rows is part of the array: the last sample, column 100 (99.5 rounded)
    // of row 100, ends 303 bytes after the rows.
    EXPECT_FALSE(r.Run(MakeBitmap(100, 100, 302), 200, true));
    EXPECT_TRUE(r.Run(MakeBitmap(100, 100, 303), 200, true));
}

TEST(ReduceImage, SameWidthCopiesTheFileAndKeepsTheHeader) {
    Reduction r;
    const QByteArray source = MakeBitmap(37, 11);
    ASSERT_TRUE(r.Run(source, 37, true));
    EXPECT_EQ(r.result, source);
    ASSERT_TRUE(r.Run(source, 20, true, true));
    EXPECT_EQ(Field(r.result, 2), Field(source, 2));   // file size: the source's
    EXPECT_EQ(Field(r.result, 34), Field(source, 34)); // image size: the source's
    EXPECT_EQ(Field(r.result, 18), 20);
    EXPECT_EQ(Field(r.result, 22), 6); // 11 × 20 / 37 = 5.9
    ASSERT_TRUE(r.Run(source, 37, true, true));
    EXPECT_EQ(r.result, source);
}

TEST(ReduceImage, BadSourcesAndSizesFail) {
    Reduction r;
    EXPECT_FALSE(r.Run(MakeBitmap(20, -10), 10, true));         // top-down rows
    EXPECT_FALSE(r.Run(MakeBitmap(20, 10, -1), 10, true));      // a byte short
    EXPECT_FALSE(r.Run(MakeBitmap(20, 10).left(54), 10, true)); // header only
    EXPECT_FALSE(r.Run(MakeBitmap(0, 10), 10, true));           // no width
    EXPECT_FALSE(r.Run(MakeBitmap(20, 10), 0, true));           // empty destination
    EXPECT_FALSE(r.Run(MakeBitmap(1000, 1), 1, true));          // height rounds to 0
    EXPECT_FALSE(r.Run(MakeBitmap(20, 10), 3e9f, true));        // past 32 bits
    EXPECT_FALSE(r.Run(MakeBitmap(20, 10), 60000, true, true)); // 2.7 GB of pixels
    QByteArray eightBit = MakeBitmap(20, 10);
    eightBit[28] = 8;
    EXPECT_FALSE(r.Run(eightBit, 10, true));
    EXPECT_FALSE(ReduceImage(r.dir.filePath(QStringLiteral("missing.bmp")), r.dest, 10, true));
    WriteWholeFile(r.source, MakeBitmap(20, 10));
    EXPECT_FALSE(
        ReduceImage(r.source, r.dir.filePath(QStringLiteral("no/such/dir.bin")), 10, true));
}

TEST(ReduceImageSmooth, AveragesTheBlockWithHalvesToEven) {
    // 4 × 2 to 2 × 1: each destination pixel is the mean of a 2 × 2 block (budget 5 samples).
    QByteArray file = MakeBitmap(4, 2);
    const int values[2][4] = {{1, 2, 2, 3}, {2, 1, 3, 2}}; // block means 1.5 and 2.5
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            for (int k = 0; k < 3; ++k)
                file[54 + y * 12 + 3 * x + k] = char(values[y][x] + 11 * k);
    Reduction r;
    ASSERT_TRUE(r.Run(file, 2, true, true));
    ASSERT_EQ(r.height, 1);
    EXPECT_EQ(PixelOf(r.result, 2, 0, 0), (Pixel{2, 12, 24})); // 1.5, 12.5, 23.5
    EXPECT_EQ(PixelOf(r.result, 2, 1, 0), (Pixel{2, 14, 24})); // 2.5, 13.5, 24.5
}

TEST(ReduceImageSmooth, KeepsTheSizeAndRefusesHundredfoldEnlarging) {
    Reduction r;
    ASSERT_TRUE(r.Run(MakeBitmap(640, 480), 200, true, true));
    EXPECT_EQ(r.width, 200);
    EXPECT_EQ(r.height, 150);
    EXPECT_TRUE(r.Run(MakeBitmap(2, 2), 100, true, true));
    EXPECT_FALSE(r.Run(MakeBitmap(2, 2), 202, true, true));
}

TEST(AverageValues, IsTheMeanAsADouble) {
    const std::vector<int> values{1, 2, 2};
    EXPECT_DOUBLE_EQ(AverageValues(values), 5.0 / 3.0);
    EXPECT_DOUBLE_EQ(AverageValues({}), 0.0);
}

TEST(GetTargetSize, ComputesInDoublePrecision) {
    int64_t w = 0;
    int64_t h = 0;
    GetTargetSize(640, 480, true, 160, w, h);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
    GetTargetSize(3, 5, true, 1, w, h); // 5 / 3 = 1.67
    EXPECT_EQ(h, 2);
    GetTargetSize(4, 2, false, 1, w, h); // 4 × 0.5 = 2
    EXPECT_EQ(w, 2);
    GetTargetSize(5, 2, false, 1, w, h); // 2.5 → 2
    EXPECT_EQ(w, 2);
}

TEST(ReduceImage, AStageOutputThatIsNoRegularFileIsRefusedAndKept) {
    // Stage paths are fixed names in temp/; whatever another process put there that is not
    // a file of ours (a pipe, a link) is neither fed nor removed.
    Reduction reduction;
    ASSERT_EQ(::mkfifo(QFile::encodeName(reduction.dest), 0600), 0);
    WriteWholeFile(reduction.source, MakeBitmap(8, 4));
    EXPECT_FALSE(ReduceImage(reduction.source, reduction.dest, 4, true));
    EXPECT_TRUE(QFileInfo(reduction.dest).exists());
    EXPECT_FALSE(QFileInfo(reduction.dest).isFile());
}
