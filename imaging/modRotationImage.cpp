#include "imaging/modRotationImage.h"

#include "imaging/BitmapFile.h"

#include <algorithm>
#include <new>

void RotatedSize(int width, int height, int rotationType, int& retWidth, int& retHeight) {
    const bool swap = rotationType == 1 || rotationType == 3;
    retWidth = swap ? height : width;
    retHeight = swap ? width : height;
}

bool RotatePixels(const QByteArray& source, int width, int height, int rotationType,
                  QByteArray& dest) {
    if (rotationType < 0 || rotationType > 3)
        return false;
    int destWidth = 0;
    int destHeight = 0;
    RotatedSize(width, height, rotationType, destWidth, destHeight);
    const int64_t sourceStride = RowStride(width);
    const int64_t destStride = RowStride(destWidth);
    const char* in = source.constData();
    char* out = dest.data();
    for (int64_t i = 0; i < height; ++i) {
        for (int64_t j = 0; j < width; ++j) {
            int64_t x = j;
            int64_t y = i;
            switch (rotationType) {
            case 1:
                x = i;
                y = width - 1 - j;
                break;
            case 2:
                x = width - 1 - j;
                y = height - 1 - i;
                break;
            case 3:
                x = height - 1 - i;
                y = j;
                break;
            default:
                break;
            }
            const char* pixel = in + i * sourceStride + 3 * j;
            std::copy(pixel, pixel + 3, out + y * destStride + 3 * x);
        }
    }
    return true;
}

bool RotateImage(const QString& sourcePath, const QString& destPath, int rotationType) {
    try {
        LoadedBitmap source;
        if (!LoadBitmapFile(sourcePath, source))
            return false;
        int destWidth = 0;
        int destHeight = 0;
        RotatedSize(source.Width, source.Height, rotationType, destWidth, destHeight);
        int64_t destSize = 0;
        if (!PixelArraySize(destWidth, destHeight, destSize))
            return false;
        QByteArray dest(destSize, '\0');
        return RotatePixels(source.Pixels, source.Width, source.Height, rotationType, dest) &&
               SaveBitmapFile(destPath, source.Header, dest, destWidth, destHeight);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
