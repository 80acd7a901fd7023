#include "imaging/BitmapFile.h"

#include "platform/ReplaceFile.h"

#include <QFile>
#include <QtEndian>
#include <limits>

bool PixelArraySize(int64_t width, int64_t height, int64_t& retSize) {
    constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
    if (width <= 0 || height <= 0 || width > kLimit || height > kLimit ||
        RowStride(width) > kLimit / height)
        return false;
    retSize = RowStride(width) * height;
    return true;
}

namespace {

// The width and height of a header block whose file has pixelBytes after it, with the checks
// of LoadBitmapFile.
bool CheckHeader(const QByteArray& header, qint64 pixelBytes, int& retWidth, int& retHeight) {
    if (header.size() != kBitmapHeaderSize || pixelBytes <= 0)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const uint32_t infoSize = qFromLittleEndian<quint32>(bytes + kBitmapInfoSizeOffset);
    const int32_t width = qFromLittleEndian<qint32>(bytes + kBitmapWidthOffset);
    const int32_t height = qFromLittleEndian<qint32>(bytes + kBitmapHeightOffset);
    const uint16_t bitCount = qFromLittleEndian<quint16>(bytes + kBitmapBitCountOffset);
    int64_t needed = 0;
    if (infoSize != kBitmapInfoHeaderSize || bitCount != 24 ||
        !PixelArraySize(width, height, needed) || pixelBytes < needed)
        return false;
    retWidth = width;
    retHeight = height;
    return true;
}

} // namespace

bool LoadBitmapFile(const QString& path, LoadedBitmap& retBitmap) {
    QFile& file = retBitmap.file;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(kBitmapHeaderSize);
    const qint64 pixelBytes = file.size() - kBitmapHeaderSize;
    if (!CheckHeader(header, pixelBytes, retBitmap.Width, retBitmap.Height))
        return false;
    retBitmap.Header = header;
    if (const uchar* mapped = file.map(kBitmapHeaderSize, pixelBytes)) {
        retBitmap.Pixels =
            QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), pixelBytes);
        return true;
    }
    retBitmap.Pixels = file.read(pixelBytes);
    return retBitmap.Pixels.size() == pixelBytes;
}

bool SaveBitmapFile(const QString& path, QByteArray header, const QByteArray& pixels, int width,
                    int height) {
    if (header.size() != kBitmapHeaderSize)
        return false;
    auto* bytes = reinterpret_cast<uchar*>(header.data());
    qToLittleEndian<qint32>(width, bytes + kBitmapWidthOffset);
    qToLittleEndian<qint32>(height, bytes + kBitmapHeightOffset);
    return ReplaceFile(path, {header, pixels}, Durability::Scratch);
}
