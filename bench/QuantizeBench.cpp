// The 256-colour step alone (bmp2color256 of libpelimage), in process:
//   vistrel_bench_quantize stills DIR [RUNS]
//     writes the bench stills at 200x150 and 640x480 to DIR/NAME-WxH.bmp and their reduction
//     to DIR/NAME-WxH-256.bmp, and prints the median time of bmp2color256 on each;
//   vistrel_bench_quantize psnr ORIGINAL IMAGE...
//     prints, per IMAGE, its colour count and its PSNR in dB against ORIGINAL (inf when equal).
#include "BenchStills.h"
#include "imaging/PelImage.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The median time of RUNS calls of bmp2color256 in milliseconds; negative when one failed.
double MedianMilliseconds(const QString& source, const QString& dest, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (bmp2color256(source, dest) != 1)
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[size_t(runs / 2)];
}

int Stills(const QString& folder, int runs) {
    QDir().mkpath(folder);
    std::printf("%-10s %12s %12s   bmp2color256, median of %d in process\n", "still", "200x150 ms",
                "640x480 ms", runs);
    QStringList names;
    std::vector<double> times[2];
    const QSize sizes[] = {{200, 150}, {640, 480}};
    for (int s = 0; s < 2; ++s)
        for (const BenchStill& still : MakeBenchStills(sizes[s].width(), sizes[s].height())) {
            const QString base = QStringLiteral("%1/%2-%3x%4")
                                     .arg(folder, still.name)
                                     .arg(sizes[s].width())
                                     .arg(sizes[s].height());
            if (!still.image.save(base + QStringLiteral(".bmp"), "BMP"))
                return 1;
            if (s == 0)
                names << still.name;
            times[s].push_back(MedianMilliseconds(base + QStringLiteral(".bmp"),
                                                  base + QStringLiteral("-256.bmp"), runs));
        }
    for (qsizetype i = 0; i < names.size(); ++i)
        std::printf("%-10s %12.2f %12.2f\n", qPrintable(names[i]), times[0][size_t(i)],
                    times[1][size_t(i)]);
    return 0;
}

int Psnr(const QString& originalPath, const QStringList& paths) {
    const QImage original = QImage(originalPath).convertToFormat(QImage::Format_RGB888);
    for (const QString& path : paths) {
        const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
        if (original.isNull() || image.size() != original.size()) {
            std::printf("%s: unreadable or of another size\n", qPrintable(path));
            return 1;
        }
        double squares = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb a = original.pixel(x, y), b = image.pixel(x, y);
                colours.insert(b);
                for (int shift : {0, 8, 16}) {
                    const int d = int(a >> shift & 255) - int(b >> shift & 255);
                    squares += d * d;
                }
            }
        const double mean = squares / (3.0 * image.width() * image.height());
        std::printf("%s %lld %.2f\n", qPrintable(path), static_cast<long long>(colours.size()),
                    mean == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mean));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The text still needs fonts, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    SetProgramFolder(QStringLiteral(VISTREL_PROGRAM_DIR));
    const QStringList arguments = application.arguments();
    const QString mode = arguments.value(1);
    if (mode == QStringLiteral("stills") && (argc == 3 || argc == 4))
        return Stills(arguments[2], argc == 4 ? std::max(1, arguments[3].toInt()) : 21);
    if (mode == QStringLiteral("psnr") && argc >= 4)
        return Psnr(arguments[2], arguments.mid(3));
    std::fprintf(stderr, "usage: vistrel_bench_quantize stills DIR [RUNS]\n"
                         "       vistrel_bench_quantize psnr ORIGINAL IMAGE...\n");
    return 2;
}
