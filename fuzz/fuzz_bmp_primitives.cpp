// The BMP image steps on any file: the first two bytes choose the target size and rotation,
// the rest is the file. Whatever the header claims, nothing is read or written out of bounds.
#include "FuzzFiles.h"
#include "imaging/modResizeImage.h"
#include "imaging/modRotationImage.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const float target = 1 + data[0] % 64;
    const int rotation = data[1] % 5;
    const QString in = QString::fromStdString(WriteFuzzInput(data + 2, size - 2));
    const QString out = QString::fromStdString(FuzzPath("out.bin"));
    ReduceImage(in, out, target, data[1] & 0x80);
    ReduceImageSmooth(in, out, target, data[1] & 0x40);
    RotateImage(in, out, rotation);
    return 0;
}
