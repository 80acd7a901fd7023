#include "platform/BitmapLayout.h"

#include <QtEndian>
#include <cstdlib>

QByteArray MakeBitmapFile(int width, int height) {
    const auto imageSize = static_cast<quint32>(RowStride(width) * std::abs(height));
    QByteArray file(kBitmapHeaderSize + static_cast<qsizetype>(imageSize), '\0');
    auto* bytes = reinterpret_cast<uchar*>(file.data());
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(kBitmapHeaderSize + imageSize, bytes + kBitmapFileSizeOffset);
    qToLittleEndian<quint32>(kBitmapHeaderSize, bytes + kBitmapPixelOffsetOffset);
    qToLittleEndian<quint32>(kBitmapInfoHeaderSize, bytes + kBitmapInfoSizeOffset);
    qToLittleEndian<qint32>(width, bytes + kBitmapWidthOffset);
    qToLittleEndian<qint32>(height, bytes + kBitmapHeightOffset);
    qToLittleEndian<quint16>(1, bytes + kBitmapPlanesOffset);
    qToLittleEndian<quint16>(24, bytes + kBitmapBitCountOffset);
    qToLittleEndian<quint32>(imageSize, bytes + kBitmapImageSizeOffset);
    return file;
}
