// The C interface: each function reads its source, converts in memory and writes the result,
// and no exception leaves the library.
#include "BmpFormat.h"
#include "FileBytes.h"
#include "GifFormat.h"
#include "JpegFormat.h"
#include "PngFormat.h"
#include "Quantize.h"
#include "pelimage.h"

#include <png.h>

namespace {

// Reads sourcePath, lets convert turn its bytes into the destination's, writes destPath.
template <typename Convert>
int RunConversion(const char* sourcePath, const char* destPath, Convert convert) {
    try {
        Bytes source;
        Bytes dest;
        if (!sourcePath || !destPath || !ReadFileBytes(sourcePath, source) ||
            !convert(source, dest))
            return 0;
        return WriteFileBytes(destPath, dest) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// A BMP source made ready for an encoder that wants an indexed image.
bool DecodeBmpIndexed(const Bytes& source, Image& retImage) {
    Image decoded;
    if (!DecodeBmp(source, decoded))
        return false;
    if (decoded.indexed) {
        retImage = std::move(decoded);
        return true;
    }
    return QuantizeTo256(decoded, retImage);
}

// A decoded JPEG, PNG or GIF written as a 24-bit BMP.
template <typename Decode> bool ToBmp(const Bytes& source, Bytes& retDest, Decode decode) {
    Image image;
    if (!decode(source, image))
        return false;
    MakeTrueColour(image);
    EncodeBmp(image, retDest);
    return true;
}

} // namespace

extern "C" int imagelib_init(const char*) {
    return png_access_version_number() / 100 == PNG_LIBPNG_VER / 100 ? 1 : 0;
}

extern "C" int bmp2color256(const char* sourcePath, const char* destPath) {
    return RunConversion(sourcePath, destPath, [](const Bytes& source, Bytes& dest) {
        Image indexed;
        if (!DecodeBmpIndexed(source, indexed))
            return false;
        EncodeBmp(indexed, dest);
        return true;
    });
}

extern "C" int bmp2jpeg(const char* sourcePath, const char* destPath, int quality,
                        int progressive) {
    return RunConversion(sourcePath, destPath, [&](const Bytes& source, Bytes& dest) {
        Image image;
        if (!DecodeBmp(source, image))
            return false;
        MakeTrueColour(image);
        return EncodeJpeg(image, quality, progressive != 0, dest);
    });
}

extern "C" int bmp2png(const char* sourcePath, const char* destPath) {
    return RunConversion(sourcePath, destPath, [](const Bytes& source, Bytes& dest) {
        Image image;
        return DecodeBmp(source, image) && EncodePng(image, dest);
    });
}

extern "C" int bmp2gif(const char* sourcePath, const char* destPath) {
    return RunConversion(sourcePath, destPath, [](const Bytes& source, Bytes& dest) {
        Image indexed;
        return DecodeBmpIndexed(source, indexed) && EncodeGif(indexed, dest);
    });
}

extern "C" int jpeg2bmp(const char* sourcePath, const char* destPath) {
    return RunConversion(sourcePath, destPath, [](const Bytes& source, Bytes& dest) {
        return ToBmp(source, dest, DecodeJpeg);
    });
}

extern "C" int png2bmp(const char* sourcePath, const char* destPath) {
    return RunConversion(sourcePath, destPath, [](const Bytes& source, Bytes& dest) {
        return ToBmp(source, dest, DecodePng);
    });
}

extern "C" int gif2bmp(const char* sourcePath, const char* destPath) {
    return RunConversion(sourcePath, destPath, [](const Bytes& source, Bytes& dest) {
        return ToBmp(source, dest, DecodeGif);
    });
}
