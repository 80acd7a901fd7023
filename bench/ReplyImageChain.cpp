// Runs the composer's own image steps of one reply on a BMP file, for timing:
//   vistrel_bench_reply chain IN.bmp WORKDIR WIDTH REDUCTIONTYPE ROTATION COLORBIT FORMAT
//                             JPEGCOMPRESSION PROGRESSIVE
//   vistrel_bench_reply b64 IN OUT
// WIDTH 0 switches the reduction off. The chain writes the stage files (capture_rs.bin,
// capture_rs_ro.bin, capture_rs_ro_256.bin, converted.bin, b64enc.asc) into WORKDIR; the exit
// code is 0 when every step succeeded.
#include "imaging/PelCodec.h"
#include "platform/ProgramFolder.h"
#include "reply/ReplyImageSteps.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace {

bool Encode(const QString& in, const QString& out) {
    int result = 0;
    return b64encode(in, out, result) && result == 1;
}

bool RunChain(const QString& capture, const QString& work, const CResAccount& setting) {
    StagePaths paths = MakeStagePaths(capture, work);
    QString failure;
    if (RunImageSteps(setting, paths, failure))
        return true;
    std::fprintf(stderr, "%s\n",
                 failure.isEmpty() ? "the codec library cannot be bound"
                                   : failure.toLocal8Bit().constData());
    return false;
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
    CResAccount setting;
    int* fields[] = {&setting.ReductionWidth, &setting.ReductionType, &setting.RotationType,
                     &setting.ColorBit,       &setting.FormatType,    &setting.JPEGCompression,
                     &setting.JPEGProgressive};
    for (int i = 0; i < 7; ++i)
        *fields[i] = std::atoi(argv[4 + i]);
    setting.DoReduction = setting.ReductionWidth > 0;
    return RunChain(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), setting) ? 0
                                                                                               : 1;
}
