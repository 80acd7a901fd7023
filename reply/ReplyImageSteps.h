#pragma once
// The image steps of one reply: reduce, rotate, reduce to 256 colours, convert and encode, each
// from the file of the stage before into its own stage file, as the response setting asks.
#include "settings/CResAccount.h"

#include <QString>

// The six stage files of a run, in stage order.
struct StagePaths {
    QString Source;       // the still
    QString Reduced;      // "capture_rs.bin"
    QString Rotated;      // "capture_rs_ro.bin"
    QString ColorReduced; // "capture_rs_ro_256.bin"
    QString Converted;    // "converted.bin": JPEG, PNG or GIF
    QString Encoded;      // "b64enc.asc": one line of base64 text
};

// What fails a step.
inline const QString ReductionFailedText = QStringLiteral("縮小に失敗しました");
inline const QString RotationFailedText = QStringLiteral("回転に失敗しました");
inline const QString ColorReductionFailedText = QStringLiteral("減色に失敗しました");
inline const QString FormatFailedText = QStringLiteral("フォーマットに失敗しました");
inline const QString EncodeFailedText = QStringLiteral("エンコードに失敗しました");

// Source is sourcePath; every other stage the fixed file name of its stage in folder.
StagePaths MakeStagePaths(const QString& sourcePath, const QString& folder);

// Runs the steps in order; a step the setting switches off writes nothing and its path becomes
// the path of the stage before. The first step that fails ends the run with false and its
// text in retFailureText (a codec library that cannot be bound leaves it empty); paths then
// keep the fixed names of the stages not reached.
bool RunImageSteps(const CResAccount& setting, StagePaths& paths, QString& retFailureText);

// Deletes the file at each of the six paths in stage order; failures (a path named twice
// among them) are ignored.
void DeleteStageFiles(const StagePaths& paths);
