#include "capture/BitmapFile.h"

#include <QFile>
#include <QtEndian>
#include <limits>

int64_t RowStride(int64_t width) { return 3 * width + width % 4; }

bool PixelArraySize(int64_t width, int64_t height, int64_t& retSize) {
    constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
    if (width <= 0 || height <= 0 || width > kLimit || height > kLimit ||
        RowStride(width) > kLimit / height)
        return false;
    retSize = RowStride(width) * height;
    return true;
}

bool ParseBitmap(const QByteArray& file, int& retWidth, int& retHeight, QByteArray& retHeader,
                 QByteArray& retPixels) {
    if (file.size() <= kBitmapHeaderSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    const uint32_t infoSize = qFromLittleEndian<quint32>(bytes + 14);
    const int32_t width = qFromLittleEndian<qint32>(bytes + 18);
    const int32_t height = qFromLittleEndian<qint32>(bytes + 22);
    const uint16_t bitCount = qFromLittleEndian<quint16>(bytes + 28);
    int64_t needed = 0;
    if (infoSize != 40 || bitCount != 24 || !PixelArraySize(width, height, needed) ||
        file.size() - kBitmapHeaderSize < needed)
        return false;
    retWidth = width;
    retHeight = height;
    retHeader = file.left(kBitmapHeaderSize);
    retPixels = file.mid(kBitmapHeaderSize);
    return true;
}

bool LoadBitmapFile(const QString& path, int& retWidth, int& retHeight, QByteArray& retHeader,
                    QByteArray& retPixels) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           ParseBitmap(file.readAll(), retWidth, retHeight, retHeader, retPixels);
}

bool SaveBitmapFile(const QString& path, QByteArray header, const QByteArray& pixels, int width,
                    int height) {
    if (header.size() != kBitmapHeaderSize)
        return false;
    auto* bytes = reinterpret_cast<uchar*>(header.data());
    qToLittleEndian<qint32>(width, bytes + 18);
    qToLittleEndian<qint32>(height, bytes + 22);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(header) == header.size() && file.write(pixels) == pixels.size() &&
           file.flush();
}
