#include "BmpFormat.h"

#include <cstring>

namespace {

uint32_t Read32(const Bytes& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

unsigned Read16(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

void Put32(unsigned char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void Put16(unsigned char* at, unsigned value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;

size_t StrideOf(int64_t width, unsigned bitCount) {
    return size_t((width * bitCount + 31) / 32) * 4;
}

// The colour table of an 8-bit file, which sits right after the info header.
bool ReadPalette(const Bytes& file, size_t infoSize, Image& image) {
    uint32_t count = Read32(file, 46);
    if (count == 0)
        count = 256;
    const size_t start = kFileHeader + infoSize;
    if (count > 256 || start + size_t(count) * 4 > file.size())
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = file.data() + start + 4 * i;
        image.palette[i] = {entry[2], entry[1], entry[0]};
    }
    return true;
}

} // namespace

bool DecodeBmp(const Bytes& file, Image& retImage) {
    if (file.size() < kFileHeader + kInfoHeader || file[0] != 'B' || file[1] != 'M')
        return false;
    const size_t offset = Read32(file, 10);
    const size_t infoSize = Read32(file, 14);
    const int64_t width = int32_t(Read32(file, 18));
    const int64_t signedHeight = int32_t(Read32(file, 22));
    const unsigned bitCount = Read16(file, 28);
    const uint32_t compression = Read32(file, 30);
    const int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
    if (infoSize < kInfoHeader || infoSize > 1024 || compression != 0 ||
        (bitCount != 8 && bitCount != 24 && bitCount != 32) || !AcceptableSize(width, height))
        return false;
    const size_t stride = StrideOf(width, bitCount);
    if (offset > file.size() || stride * size_t(height) > file.size() - offset)
        return false;

    Allocate(retImage, int(width), int(height), bitCount == 8);
    if (bitCount == 8 && !ReadPalette(file, infoSize, retImage))
        return false;
    const size_t step = bitCount / 8;
    for (int64_t y = 0; y < height; ++y) {
        const int64_t stored = signedHeight < 0 ? y : height - 1 - y;
        const unsigned char* in = file.data() + offset + size_t(stored) * stride;
        unsigned char* out = retImage.Row(int(y));
        if (bitCount == 8) {
            std::memcpy(out, in, size_t(width));
            continue;
        }
        for (int64_t x = 0; x < width; ++x, in += step, out += 3)
            std::memcpy(out, in, 3);
    }
    return true;
}

void EncodeBmp(const Image& image, Bytes& retFile) {
    const unsigned bitCount = image.indexed ? 8 : 24;
    const size_t paletteSize = image.indexed ? 256 * 4 : 0;
    const size_t offset = kFileHeader + kInfoHeader + paletteSize;
    const size_t stride = StrideOf(image.width, bitCount);
    const size_t imageSize = stride * size_t(image.height);
    retFile.assign(offset + imageSize, 0);
    unsigned char* header = retFile.data();
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, uint32_t(retFile.size()));
    Put32(header + 10, uint32_t(offset));
    Put32(header + 14, kInfoHeader);
    Put32(header + 18, uint32_t(image.width));
    Put32(header + 22, uint32_t(image.height));
    Put16(header + 26, 1);
    Put16(header + 28, bitCount);
    Put32(header + 34, uint32_t(imageSize));
    Put32(header + 38, 2835); // 72 dots an inch
    Put32(header + 42, 2835);
    if (image.indexed) {
        Put32(header + 46, 256);
        for (size_t i = 0; i < 256; ++i) {
            unsigned char* entry = header + kFileHeader + kInfoHeader + 4 * i;
            entry[0] = image.palette[i].blue;
            entry[1] = image.palette[i].green;
            entry[2] = image.palette[i].red;
        }
    }
    const size_t rowBytes = size_t(image.width) * image.BytesPerPixel();
    for (int y = 0; y < image.height; ++y)
        std::memcpy(retFile.data() + offset + size_t(image.height - 1 - y) * stride, image.Row(y),
                    rowBytes);
}
