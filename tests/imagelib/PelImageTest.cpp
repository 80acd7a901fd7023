#include "imaging/PelImage.h"
#include "tests/support/BitmapSamples.h"
#include "tests/support/BuiltProgramFolder.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

long PeakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Pillow, run by Debian's Python, as the independent reader and writer of image files.
QJsonObject Pillow(const QStringList& arguments) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(VISTREL_SOURCE_DIR "/tests/imagelib/pillow_probe.py")} +
                     arguments);
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

class PelImage : public ::testing::Test {
  protected:
    BuiltProgramFolder programFolder;
    QTemporaryDir dir;
    // Stage files end in .bin, as the composer's do: the library goes by content.
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name) + ".bin"); }

    // A Pillow-made sample of kind at Path(name), and Path(name)+".raw" with its RGB pixels.
    QString Make(const char* kind, const char* name) {
        Pillow({QStringLiteral("make"), QLatin1String(kind), Path(name), Path(name) + ".raw"});
        return Path(name);
    }

    QJsonObject Describe(const QString& path) { return Pillow({QStringLiteral("describe"), path}); }

    // Mean and largest channel difference between two files, as Pillow decodes them.
    std::pair<double, int> Compare(const QString& a, const QString& b) {
        const QJsonObject result = Pillow({QStringLiteral("compare"), a, b});
        return {result[QStringLiteral("mean")].toDouble(), result[QStringLiteral("max")].toInt()};
    }

    double Psnr(const QString& a, const QString& b) {
        return Pillow({QStringLiteral("compare"), a, b})[QStringLiteral("psnr")].toDouble();
    }
};

// The decoders' BMP: 40-byte info header, 24 bits, loaded by Qt with exactly the pixels Pillow
// decoded from the same source (within tolerance).
void ExpectBmpMatches(const QString& bmpPath, const QString& rawPath, int tolerance) {
    const QByteArray bmp = ReadWholeFile(bmpPath);
    ASSERT_GT(bmp.size(), 54);
    EXPECT_EQ(bmp.mid(14, 4), QByteArray("\x28\0\0\0", 4));
    EXPECT_EQ(bmp[28], 24);
    QImage image;
    ASSERT_TRUE(image.load(bmpPath));
    image = image.convertToFormat(QImage::Format_RGB888);
    const QByteArray raw = ReadWholeFile(rawPath);
    ASSERT_EQ(qsizetype(image.width()) * image.height() * 3, raw.size());
    int worst = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int i = 0; i < image.width() * 3; ++i)
            worst = std::max(worst, std::abs(line[i] - uchar(raw[y * image.width() * 3 + i])));
    }
    EXPECT_LE(worst, tolerance) << bmpPath.toStdString();
}

} // namespace

TEST_F(PelImage, EncodersWriteWhatPillowReadsBack) {
    const QString source = Make("bmp", "capture");
    ASSERT_EQ(bmp2png(source, Path("png")), 1);
    QJsonObject png = Describe(Path("png"));
    EXPECT_EQ(png[QStringLiteral("format")].toString(), QStringLiteral("PNG"));
    EXPECT_EQ(png[QStringLiteral("mode")].toString(), QStringLiteral("RGB"));
    EXPECT_EQ(png[QStringLiteral("width")].toInt(), 83);
    EXPECT_EQ(png[QStringLiteral("height")].toInt(), 61);
    EXPECT_EQ(Compare(source, Path("png")).second, 0);

    ASSERT_EQ(bmp2jpeg(source, Path("baseline"), 95, 0), 1);
    ASSERT_EQ(bmp2jpeg(source, Path("progressive"), 95, 1), 1);
    ASSERT_EQ(bmp2jpeg(source, Path("coarse"), 10, 0), 1);
    EXPECT_EQ(Describe(Path("baseline"))[QStringLiteral("format")].toString(),
              QStringLiteral("JPEG"));
    EXPECT_FALSE(Describe(Path("baseline"))[QStringLiteral("progressive")].toBool());
    EXPECT_TRUE(Describe(Path("progressive"))[QStringLiteral("progressive")].toBool());
    EXPECT_LT(Compare(source, Path("baseline")).first, 2.0);
    EXPECT_LT(Compare(source, Path("progressive")).first, 2.0);
    EXPECT_LT(ReadWholeFile(Path("coarse")).size(), ReadWholeFile(Path("baseline")).size() / 2);
    EXPECT_GT(Compare(source, Path("coarse")).first, Compare(source, Path("baseline")).first);

    ASSERT_EQ(bmp2gif(source, Path("gif")), 1);
    const QJsonObject gif = Describe(Path("gif"));
    EXPECT_EQ(gif[QStringLiteral("format")].toString(), QStringLiteral("GIF"));
    EXPECT_LE(gif[QStringLiteral("colours")].toInt(), 256);
    EXPECT_LT(Compare(source, Path("gif")).first, 6.0);
}

TEST_F(PelImage, TwoHundredFiftySixColoursFeedEveryEncoder) {
    // The sample pattern has thousands of colours.
    const QString source = Path("capture_rs_ro");
    WriteWholeFile(source, MakeBitmap(120, 90));
    ASSERT_GT(Describe(source)[QStringLiteral("colours")].toInt(), 256);
    const QString reduced = Path("capture_rs_ro_256");
    ASSERT_EQ(bmp2color256(source, reduced), 1);
    const QJsonObject bmp = Describe(reduced);
    EXPECT_EQ(bmp[QStringLiteral("format")].toString(), QStringLiteral("BMP"));
    EXPECT_EQ(bmp[QStringLiteral("mode")].toString(), QStringLiteral("P"));
    EXPECT_LE(bmp[QStringLiteral("colours")].toInt(), 256);
    EXPECT_GT(bmp[QStringLiteral("colours")].toInt(), 100);
    EXPECT_LT(Compare(source, reduced).first, 12.0);
    QImage image;
    EXPECT_TRUE(image.load(reduced));
    EXPECT_EQ(image.size(), QSize(120, 90));

    // GIF and PNG keep the palette exactly; JPEG spreads it.
    ASSERT_EQ(bmp2gif(reduced, Path("gif")), 1);
    ASSERT_EQ(bmp2png(reduced, Path("png")), 1);
    ASSERT_EQ(bmp2jpeg(reduced, Path("jpeg"), 99, 1), 1);
    EXPECT_EQ(Compare(reduced, Path("gif")).second, 0);
    EXPECT_EQ(Compare(reduced, Path("png")).second, 0);
    EXPECT_EQ(Describe(Path("png"))[QStringLiteral("mode")].toString(), QStringLiteral("P"));
    EXPECT_LT(Compare(reduced, Path("jpeg")).first, 12.0); // dithered noise, subsampled
}

TEST_F(PelImage, TwoHundredFiftySixColoursAreExactWherePossible) {
    struct Case {
        const char* name;
        QString source;
        int width, height;
        double minimumPsnr; // 999: the very same pixels
    };
    WriteWholeFile(Path("one"), MakeBitmap(1, 1));
    WriteWholeFile(Path("odd"), MakeBitmap(257, 3));
    WriteWholeFile(Path("column"), MakeBitmap(1, 300));
    for (const Case& c : {Case{"few", Make("bmp-200-colours", "few"), 83, 61, 999},
                          Case{"gradient", Make("bmp-gradient", "gradient"), 256, 64, 33},
                          Case{"one", Path("one"), 1, 1, 999}, Case{"odd", Path("odd"), 257, 3, 30},
                          Case{"column", Path("column"), 1, 300, 999}}) {
        const QString reduced = Path("reduced");
        ASSERT_EQ(bmp2color256(c.source, reduced), 1) << c.name;
        const QJsonObject bmp = Describe(reduced);
        EXPECT_EQ(bmp[QStringLiteral("mode")].toString(), QStringLiteral("P")) << c.name;
        EXPECT_EQ(bmp[QStringLiteral("width")].toInt(), c.width) << c.name;
        EXPECT_EQ(bmp[QStringLiteral("height")].toInt(), c.height) << c.name;
        EXPECT_LE(bmp[QStringLiteral("colours")].toInt(), 256) << c.name;
        EXPECT_GE(Psnr(c.source, reduced), c.minimumPsnr) << c.name;
        // The GIF of the reduced image has its pixels too.
        ASSERT_EQ(bmp2gif(c.source, Path("gif")), 1) << c.name;
        EXPECT_EQ(Compare(reduced, Path("gif")).second, 0) << c.name;
    }
}

TEST_F(PelImage, DecodersMatchPillow) {
    struct Case {
        const char* kind;
        int (*decode)(const QString&, const QString&);
        int tolerance;
    };
    for (const Case& c : {Case{"jpeg", jpeg2bmp, 2}, Case{"jpeg-progressive-grey", jpeg2bmp, 2},
                          Case{"png", png2bmp, 0}, Case{"png-palette", png2bmp, 0},
                          Case{"png-grey-alpha", png2bmp, 0},
                          Case{"png-interlaced-rgba", png2bmp, 0}, Case{"gif", gif2bmp, 0}}) {
        const QString source = Make(c.kind, c.kind);
        const QString bmp = dir.filePath(QLatin1String(c.kind) + "_output_.bin");
        ASSERT_EQ(c.decode(source, bmp), 1) << c.kind;
        ExpectBmpMatches(bmp, source + ".raw", c.tolerance);
    }
}

TEST_F(PelImage, TopDownAndPaddedSourcesAreUpright) {
    WriteWholeFile(Path("up"), MakeBitmap(5, 3));
    QByteArray topDown = MakeBitmap(5, -3);
    WriteWholeFile(Path("down"), topDown);
    ASSERT_EQ(bmp2png(Path("up"), Path("up.png")), 1);
    ASSERT_EQ(bmp2png(Path("down"), Path("down.png")), 1);
    ASSERT_EQ(png2bmp(Path("up.png"), Path("back")), 1);
    EXPECT_EQ(ReadWholeFile(Path("back")).mid(54), MakeBitmap(5, 3).mid(54));
    // The same rows read in the opposite order give the picture upside down.
    EXPECT_GT(Compare(Path("up.png"), Path("down.png")).second, 0);
}

TEST_F(PelImage, BadInputAnswersZero) {
    const QString bmp = Make("bmp", "good");
    ASSERT_EQ(bmp2jpeg(bmp, Path("good.jpeg"), 90, 0), 1);
    ASSERT_EQ(bmp2png(bmp, Path("good.png")), 1);
    ASSERT_EQ(bmp2gif(bmp, Path("good.gif")), 1);
    const QByteArray files[] = {ReadWholeFile(bmp), ReadWholeFile(Path("good.jpeg")),
                                ReadWholeFile(Path("good.png")), ReadWholeFile(Path("good.gif"))};
    const QString missing = Path("missing");
    for (const QByteArray& file : files) {
        for (int keep : {0, 1, 10, int(file.size() / 2), int(file.size() - 20)}) {
            WriteWholeFile(Path("cut"), file.left(keep));
            EXPECT_EQ(bmp2color256(Path("cut"), Path("out")), 0) << keep;
            EXPECT_EQ(bmp2jpeg(Path("cut"), Path("out"), 90, 1), 0) << keep;
            EXPECT_EQ(bmp2png(Path("cut"), Path("out")), 0) << keep;
            EXPECT_EQ(bmp2gif(Path("cut"), Path("out")), 0) << keep;
            EXPECT_EQ(jpeg2bmp(Path("cut"), Path("out")), 0) << keep;
            EXPECT_EQ(png2bmp(Path("cut"), Path("out")), 0) << keep;
            EXPECT_EQ(gif2bmp(Path("cut"), Path("out")), 0) << keep;
        }
    }
    // Each decoder takes only its own format.
    EXPECT_EQ(jpeg2bmp(Path("good.png"), Path("out")), 0);
    EXPECT_EQ(png2bmp(Path("good.gif"), Path("out")), 0);
    EXPECT_EQ(gif2bmp(Path("good.jpeg"), Path("out")), 0);
    EXPECT_EQ(bmp2png(Path("good.png"), Path("out")), 0);
    EXPECT_EQ(jpeg2bmp(missing, Path("out")), 0);
    EXPECT_EQ(bmp2jpeg(bmp, dir.filePath(QStringLiteral("no/such/dir.bin")), 90, 0), 0);
    // A chunk that claims a gigabyte in a file of a few hundred bytes costs no gigabyte, in
    // the middle of the file or as its last eight bytes.
    QByteArray claims = ReadWholeFile(Path("good.png"));
    claims.insert(33, QByteArray("\x3d\x48\x44\x52sPLT", 8));
    for (const QByteArray& file : {claims, claims.left(41)}) {
        WriteWholeFile(Path("claims"), file);
        const long peakBefore = PeakResidentKilobytes();
        EXPECT_EQ(png2bmp(Path("claims"), Path("out")), 0);
        EXPECT_LT(PeakResidentKilobytes() - peakBefore, 256 * 1024) << file.size();
    }
    // A header that promises more rows than the file holds.
    QByteArray tall = ReadWholeFile(bmp);
    tall[22] = char(62);
    WriteWholeFile(Path("tall"), tall);
    EXPECT_EQ(bmp2png(Path("tall"), Path("out")), 0);
}

TEST_F(PelImage, InitialisesFromTheProgramFolder) {
    QString error;
    EXPECT_TRUE(InitImageLibrary(error));
    EXPECT_TRUE(error.isEmpty());
}

TEST(PelImageMissing, StartUpGetsTheLoadersMessage) {
    // A fresh process, so that no earlier test has loaded the library.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ScratchProgramFolder emptyFolder;
            QString error;
            const bool loaded = InitImageLibrary(error);
            std::exit(!loaded && error.contains(QStringLiteral("libpelimage.so")) &&
                              bmp2png(QStringLiteral("a"), QStringLiteral("b")) == 0
                          ? 0
                          : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
