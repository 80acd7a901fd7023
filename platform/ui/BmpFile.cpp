#include "platform/ui/BmpFile.h"

#include "platform/ReplaceFile.h"

#include <QtEndian>

namespace {

void Put16(QByteArray& bytes, int offset, quint16 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

void Put32(QByteArray& bytes, int offset, quint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

} // namespace

QByteArray EncodeBmp24(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = static_cast<int>(RowStride(width));
    const quint32 imageSize = static_cast<quint32>(stride) * static_cast<quint32>(height);
    QByteArray bytes(kBitmapHeaderSize + static_cast<qsizetype>(imageSize), '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, kBitmapFileSizeOffset, kBitmapHeaderSize + imageSize);
    Put32(bytes, kBitmapPixelOffsetOffset, kBitmapHeaderSize);
    Put32(bytes, kBitmapInfoSizeOffset, kBitmapInfoHeaderSize);
    Put32(bytes, kBitmapWidthOffset, static_cast<quint32>(width));
    Put32(bytes, kBitmapHeightOffset, static_cast<quint32>(height));
    Put16(bytes, kBitmapPlanesOffset, 1);
    Put16(bytes, kBitmapBitCountOffset, 24);
    Put32(bytes, kBitmapImageSizeOffset, imageSize);
    for (int y = 0; y < height; ++y) {
        const uchar* source = rgb.constScanLine(y);
        char* target = bytes.data() + kBitmapHeaderSize + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            target[3 * x] = static_cast<char>(source[3 * x + 2]);
            target[3 * x + 1] = static_cast<char>(source[3 * x + 1]);
            target[3 * x + 2] = static_cast<char>(source[3 * x]);
        }
    }
    return bytes;
}

bool WriteBmp24File(const QImage& image, const QString& path) {
    if (image.isNull())
        return false;
    const QByteArray bytes = EncodeBmp24(image);
    return ReplaceFile(path, {bytes}, Durability::Durable);
}
