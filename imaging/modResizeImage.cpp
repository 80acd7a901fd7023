#include "imaging/modResizeImage.h"

#include "imaging/BitmapFile.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace {

using Resampler = bool (*)(const QByteArray&, int, int, QByteArray&, int, int);

int64_t RoundToInteger(double value) {
    return static_cast<int64_t>(RoundHalfEven(value));
}

bool Reduce(const QString& sourcePath, const QString& destPath, float size, bool byWidth,
            Resampler resample) {
    try {
        constexpr double kLimit = std::numeric_limits<int32_t>::max();
        LoadedBitmap source;
        const double rounded = RoundHalfEven(size);
        if (!LoadBitmapFile(sourcePath, source) || !std::isfinite(rounded) || rounded > kLimit ||
            rounded < -kLimit)
            return false;
        int64_t destWidth = 0;
        int64_t destHeight = 0;
        GetTargetSize(source.Width, source.Height, byWidth, static_cast<int>(rounded), destWidth,
                      destHeight);
        int64_t destSize = 0;
        if (!PixelArraySize(destWidth, destHeight, destSize))
            return false;
        QByteArray dest(destSize, '\0');
        const int w = static_cast<int>(destWidth);
        const int h = static_cast<int>(destHeight);
        return resample(source.Pixels, source.Width, source.Height, dest, w, h) &&
               SaveBitmapFile(destPath, source.Header, dest, w, h);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

void GetTargetSize(int width, int height, bool byWidth, int size, int64_t& retWidth,
                   int64_t& retHeight) {
    if (byWidth) {
        retWidth = size;
        retHeight = RoundToInteger(height * (static_cast<double>(size) / width));
    } else {
        retHeight = size;
        retWidth = RoundToInteger(width * (static_cast<double>(size) / height));
    }
}

bool ResamplePlain(const QByteArray& source, int sourceWidth, int sourceHeight, QByteArray& dest,
                   int destWidth, int destHeight) {
    const float rx = static_cast<float>(sourceWidth) / static_cast<float>(destWidth);
    const float ry = static_cast<float>(sourceHeight) / static_cast<float>(destHeight);
    const int64_t sourceStride = RowStride(sourceWidth);
    const int64_t destStride = RowStride(destWidth);
    std::vector<int64_t> columnOffsets(static_cast<size_t>(destWidth));
    for (int j = 0; j < destWidth; ++j)
        columnOffsets[static_cast<size_t>(j)] = RoundToInteger(double{rx} * j) * 3;
    const int64_t lastStart = source.size() - 3;
    const char* in = source.constData();
    char* out = dest.data();
    for (int i = 0; i < destHeight; ++i) {
        const int64_t rowStart = RoundToInteger(double{ry} * i) * sourceStride;
        char* outRow = out + i * destStride;
        for (int j = 0; j < destWidth; ++j) {
            const int64_t p = rowStart + columnOffsets[static_cast<size_t>(j)];
            if (p > lastStart)
                return false;
            std::copy(in + p, in + p + 3, outRow + 3 * j);
        }
    }
    return true;
}

bool ResampleSmooth(const QByteArray& source, int sourceWidth, int sourceHeight, QByteArray& dest,
                    int destWidth, int destHeight) {
    const float rx = static_cast<float>(sourceWidth) / static_cast<float>(destWidth);
    const float ry = static_cast<float>(sourceHeight) / static_cast<float>(destHeight);
    if (static_cast<int64_t>(rx * 100.0f) <= 0)
        return false;
    const int64_t budget = RoundToInteger(double{rx} * double{ry}) + 1;
    const int64_t sourceStride = RowStride(sourceWidth);
    const int64_t sourceEnd = sourceStride * sourceHeight;
    const int64_t destStride = RowStride(destWidth);
    const int64_t destEnd = destStride * destHeight;
    const auto* in = reinterpret_cast<const uchar*>(source.constData());
    auto* out = reinterpret_cast<uchar*>(dest.data());
    // The block of a destination pixel runs up to the first sample of its right and lower
    // neighbours, and is at least one pixel.
    auto blockStart = [](float ratio, int64_t index) {
        return RoundToInteger(double{ratio} * index);
    };
    std::vector<int> samples[3];
    for (int y = 0; y < destHeight; ++y) {
        const int64_t top = blockStart(ry, y);
        const int64_t bottom = std::max(top + 1, blockStart(ry, y + 1));
        for (int x = 0; x < destWidth; ++x) {
            const int64_t left = blockStart(rx, x);
            const int64_t right = std::max(left + 1, blockStart(rx, x + 1));
            for (auto& channel : samples)
                channel.clear();
            int64_t taken = 0;
            for (int64_t row = top; row < bottom && taken < budget; ++row) {
                for (int64_t column = left; column < right && taken < budget; ++column, ++taken) {
                    const int64_t p = row * sourceStride + column * 3;
                    if (p < 0 || p + 2 >= sourceEnd)
                        continue;
                    for (int k = 0; k < 3; ++k)
                        samples[k].push_back(in[p + k]);
                }
            }
            const int64_t q = y * destStride + x * 3;
            if (samples[0].empty() || q + 2 >= destEnd)
                continue;
            for (int k = 0; k < 3; ++k)
                out[q + k] = static_cast<uchar>(RoundToInteger(AverageValues(samples[k])));
        }
    }
    return true;
}

double AverageValues(std::span<const int> values) {
    if (values.empty())
        return 0.0;
    double sum = 0.0;
    for (int value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

bool ReduceImage(const QString& sourcePath, const QString& destPath, float size, bool byWidth) {
    return Reduce(sourcePath, destPath, size, byWidth, ResamplePlain);
}

bool ReduceImageSmooth(const QString& sourcePath, const QString& destPath, float size,
                       bool byWidth) {
    return Reduce(sourcePath, destPath, size, byWidth, ResampleSmooth);
}
