#include "platform/SharedLibrary.h"
#include "tests/imagelib/FailingAllocator.h"
#include "tests/support/BitmapSamples.h"
#include "tests/support/BuiltProgramFolder.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

// Every allocation of one bmp2jpeg call fails in turn, among them each growth of the buffer
// that collects the compressed bytes: the call answers 0 (or 1 with the whole file, where the
// C library copes without the memory) and the process lives on. The library is called
// directly, so that only its own allocations are counted.
TEST(JpegOutOfMemory, EveryFailedAllocationAnswersZeroOrWritesTheWholeFile) {
    BuiltProgramFolder programFolder;
    QTemporaryDir dir;
    // Noise at the highest quality: far more than 64 KiB of JPEG, so the output buffer, which
    // starts at a few KiB and doubles, grows several times.
    QByteArray bitmap = MakeBitmap(256, 256);
    QRandomGenerator random(20261209);
    for (qsizetype i = 54; i < bitmap.size(); ++i)
        bitmap[i] = static_cast<char>(random.bounded(256));
    const QByteArray source = QFile::encodeName(dir.filePath(QStringLiteral("capture.bin")));
    const QByteArray dest = QFile::encodeName(dir.filePath(QStringLiteral("converted.bin")));
    WriteWholeFile(QFile::decodeName(source), bitmap);

    static SharedLibrary library("libpelimage.so");
    QString error;
    const auto bmp2jpeg = reinterpret_cast<int (*)(const char*, const char*, int, int)>(
        library.Resolve("bmp2jpeg", error));
    ASSERT_NE(bmp2jpeg, nullptr) << error.toStdString();

    FailAllocation(std::numeric_limits<long>::max());
    ASSERT_EQ(bmp2jpeg(source.constData(), dest.constData(), 100, 0), 1);
    const long allocations = StopFailingAllocations();
    const QByteArray whole = ReadWholeFile(QFile::decodeName(dest));
    ASSERT_GT(whole.size(), 64 << 10);
    ASSERT_TRUE(QImage::fromData(whole).size() == QSize(256, 256));
    ASSERT_GT(allocations, 8);

    int refused = 0;
    for (long n = 1; n <= allocations; ++n) {
        QFile::remove(QFile::decodeName(dest));
        FailAllocation(n);
        const int result = bmp2jpeg(source.constData(), dest.constData(), 100, 0);
        StopFailingAllocations();
        if (result == 1)
            EXPECT_TRUE(ReadWholeFile(QFile::decodeName(dest)) == whole) << "allocation " << n;
        else
            EXPECT_EQ(result, 0) << "allocation " << n;
        refused += result == 0 ? 1 : 0;
    }
    EXPECT_GT(refused, 0);
}
