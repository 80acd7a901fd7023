#include "reply/ReplyImageSteps.h"

#include "imaging/PelCodec.h"
#include "imaging/PelImage.h"
#include "imaging/modResizeImage.h"
#include "imaging/modRotationImage.h"

#include <QFile>

namespace {

bool Fail(const QString& text, QString& retFailureText) {
    retFailureText = text;
    return false;
}

bool Reduce(const CResAccount& setting, const StagePaths& paths) {
    const bool byWidth = setting.ReductionWidth > 0;
    const auto size = static_cast<float>(setting.ReductionWidth);
    if (setting.ReductionType == 0)
        return ReduceImage(paths.Source, paths.Reduced, size, byWidth);
    if (setting.ReductionType == 1)
        return ReduceImageSmooth(paths.Source, paths.Reduced, size, byWidth);
    return false;
}

int Convert(const CResAccount& setting, const StagePaths& paths) {
    switch (setting.FormatType) {
    case 0:
        return bmp2jpeg(paths.ColorReduced, paths.Converted, 100 - setting.JPEGCompression,
                        setting.JPEGProgressive);
    case 1:
        return bmp2png(paths.ColorReduced, paths.Converted);
    case 2:
        return bmp2gif(paths.ColorReduced, paths.Converted);
    default:
        return 0;
    }
}

} // namespace

StagePaths MakeStagePaths(const QString& sourcePath, const QString& folder) {
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    return {sourcePath,
            base + QStringLiteral("capture_rs.bin"),
            base + QStringLiteral("capture_rs_ro.bin"),
            base + QStringLiteral("capture_rs_ro_256.bin"),
            base + QStringLiteral("converted.bin"),
            base + QStringLiteral("b64enc.asc")};
}

bool RunImageSteps(const CResAccount& setting, StagePaths& paths, QString& retFailureText) {
    if (setting.DoReduction == 0)
        paths.Reduced = paths.Source;
    else if (!Reduce(setting, paths))
        return Fail(ReductionFailedText, retFailureText);

    if (setting.RotationType == 0)
        paths.Rotated = paths.Reduced;
    else if (setting.RotationType < 1 || setting.RotationType > 3 ||
             !RotateImage(paths.Reduced, paths.Rotated, setting.RotationType))
        return Fail(RotationFailedText, retFailureText);

    if (setting.ColorBit != 8)
        paths.ColorReduced = paths.Rotated;
    else if (bmp2color256(paths.Rotated, paths.ColorReduced) != 1)
        return Fail(ColorReductionFailedText, retFailureText);

    if (Convert(setting, paths) != 1)
        return Fail(FormatFailedText, retFailureText);

    int encoded = 0;
    if (!b64encode(paths.Converted, paths.Encoded, encoded))
        return false;
    return encoded == 1 || Fail(EncodeFailedText, retFailureText);
}

void DeleteStageFiles(const StagePaths& paths) {
    for (const QString* path : {&paths.Source, &paths.Reduced, &paths.Rotated, &paths.ColorReduced,
                                &paths.Converted, &paths.Encoded})
        QFile::remove(*path);
}
