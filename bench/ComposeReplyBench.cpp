// One whole ComposeReply per iteration, in process, on photo-like stills of 640×480 and
// 1920×1080: the default response setting (plain reduction to width 200, JPEG quality 99) and
// the same with 256 colours. The stage files stay, as in the image info window's dry run.
#include "platform/BitmapLayout.h"
#include "platform/ProgramFolder.h"
#include "reply/modSendMail.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// Smooth colour waves with a little seeded noise: it compresses and quantises like a photo.
QByteArray PhotoLikeBitmap(int width, int height) {
    const int stride = static_cast<int>(RowStride(width));
    QByteArray file = MakeBitmapFile(width, height);
    auto* bytes = reinterpret_cast<uchar*>(file.data());
    QRandomGenerator noise(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            uchar* pixel = bytes + kBitmapHeaderSize + y * stride + 3 * x;
            const double base[3] = {128 + 90 * std::sin(6 * u + 2 * v),
                                    128 + 80 * std::sin(4 * v - 3 * u + 1),
                                    128 + 70 * std::cos(9 * u * v + 5 * v)};
            for (int c = 0; c < 3; ++c)
                pixel[c] = uchar(std::clamp(base[c] + int(noise.bounded(17)) - 8, 0.0, 255.0));
        }
    return file;
}

void BM_ComposeReply(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    ScratchProgramFolder folder;
    if (!folder.CopyBuiltLibraries()) {
        state.SkipWithError("the built libraries are missing");
        return;
    }
    const QString still = folder.Path() + QStringLiteral("/still.bmp");
    folder.Write(QStringLiteral("still.bmp"), PhotoLikeBitmap(width, height));
    CResAccount setting;
    setting.ColorBit = int(state.range(2));
    setting.SendMail_Subject = QString::fromUtf8("カメラの画像です");
    setting.SendMail_Body = QString::fromUtf8("ご依頼の写真をお送りします。");
    const QString reply = TempFolder() + QStringLiteral("/new.eml");
    for (auto _ : state) {
        QString failure;
        if (!ComposeReply(still, reply, setting, QStringLiteral("cam@example.com"),
                          QStringLiteral("bob@example.net"), false, failure)) {
            state.SkipWithError("ComposeReply failed");
            return;
        }
    }
    state.counters["reply_bytes"] = double(QFile(reply).size());
}
BENCHMARK(BM_ComposeReply)
    ->ArgNames({"width", "height", "colorbit"})
    ->Args({640, 480, 24})
    ->Args({640, 480, 8})
    ->Args({1920, 1080, 24})
    ->Args({1920, 1080, 8})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
