// Runs the image steps of one reply on a BMP file, as the composer does, for timing:
//   vistrel_bench_reply chain IN.bmp WORKDIR WIDTH REDUCTIONTYPE ROTATION COLORBIT FORMAT
//                             JPEGCOMPRESSION PROGRESSIVE
//   vistrel_bench_reply b64 IN OUT
// The chain writes WORKDIR/capture_rs.bin, capture_rs_ro.bin, capture_rs_ro_256.bin,
// converted.bin and b64enc.asc; the exit code is 0 when every step succeeded.
#include "imaging/PelCodec.h"
#include "imaging/PelImage.h"
#include "imaging/modResizeImage.h"
#include "imaging/modRotationImage.h"
#include "platform/ProgramFolder.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace {

struct Setting {
    int reductionWidth = 200;
    int reductionType = 0;
    int rotationType = 0;
    int colorBit = 24;
    int formatType = 0;
    int jpegCompression = 1;
    int jpegProgressive = 0;
};

bool Fail(const char* step) {
    std::fprintf(stderr, "%s failed\n", step);
    return false;
}

bool Encode(const QString& in, const QString& out) {
    int result = 0;
    return b64encode(in, out, result) && result == 1;
}

bool RunChain(const QString& capture, const QString& work, const Setting& setting) {
    QString current = capture;
    if (setting.reductionWidth > 0) {
        const QString reduced = work + QStringLiteral("/capture_rs.bin");
        const auto reduce = setting.reductionType == 1 ? ReduceImageSmooth : ReduceImage;
        if (!reduce(current, reduced, float(setting.reductionWidth), true))
            return Fail("reduction");
        current = reduced;
    }
    if (setting.rotationType >= 1 && setting.rotationType <= 3) {
        const QString rotated = work + QStringLiteral("/capture_rs_ro.bin");
        if (!RotateImage(current, rotated, setting.rotationType))
            return Fail("rotation");
        current = rotated;
    }
    if (setting.colorBit == 8) {
        const QString reduced = work + QStringLiteral("/capture_rs_ro_256.bin");
        if (bmp2color256(current, reduced) != 1)
            return Fail("256 colours");
        current = reduced;
    }
    const QString converted = work + QStringLiteral("/converted.bin");
    const int result =
        setting.formatType == 1 ? bmp2png(current, converted)
        : setting.formatType == 2
            ? bmp2gif(current, converted)
            : bmp2jpeg(current, converted, 100 - setting.jpegCompression, setting.jpegProgressive);
    if (result != 1)
        return Fail("conversion");
    return Encode(converted, work + QStringLiteral("/b64enc.asc")) || Fail("encoding");
}

int Usage() {
    std::fprintf(stderr, "usage: vistrel_bench_reply chain IN.bmp WORKDIR WIDTH REDUCTIONTYPE "
                         "ROTATION COLORBIT FORMAT JPEGCOMPRESSION PROGRESSIVE\n"
                         "       vistrel_bench_reply b64 IN OUT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    SetProgramFolder(QStringLiteral(VISTREL_PROGRAM_DIR));
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QStringLiteral("b64") && argc == 4)
        return Encode(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    if (mode != QStringLiteral("chain") || argc != 11)
        return Usage();
    Setting setting;
    int* fields[] = {&setting.reductionWidth, &setting.reductionType, &setting.rotationType,
                     &setting.colorBit,       &setting.formatType,    &setting.jpegCompression,
                     &setting.jpegProgressive};
    for (int i = 0; i < 7; ++i)
        *fields[i] = std::atoi(argv[4 + i]);
    return RunChain(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), setting) ? 0
                                                                                               : 1;
}
