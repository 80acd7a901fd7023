#include "PngFormat.h"

#include <cstdlib>
#include <cstring>
#include <png.h>

// libpng reports errors by jumping back to the setjmp of the function that owns the codec
// object; those functions hold only plain C data, and the callbacks never let an exception
// reach libpng.
namespace {

// Errors go back to the setjmp without a word on the host program's standard error.
[[noreturn]] void JumpOnError(png_structp codec, png_const_charp) {
    png_longjmp(codec, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

struct WriteTarget {
    Bytes* file;
    bool outOfMemory = false;
};

void AppendToFile(png_structp codec, png_bytep data, size_t size) {
    auto* target = static_cast<WriteTarget*>(png_get_io_ptr(codec));
    try {
        target->file->insert(target->file->end(), data, data + size);
    } catch (...) {
        target->outOfMemory = true;
    }
    if (target->outOfMemory)
        png_error(codec, "out of memory");
}

void NoFlush(png_structp) {}

bool Compress(const Image& image, WriteTarget* target) {
    png_structp codec =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    png_infop info = codec ? png_create_info_struct(codec) : nullptr;
    if (!info) {
        png_destroy_write_struct(&codec, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(codec))) {
        png_destroy_write_struct(&codec, &info);
        return false;
    }
    png_set_write_fn(codec, target, AppendToFile, NoFlush);
    png_set_IHDR(codec, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 image.indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (image.indexed) {
        png_color palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = {image.palette[size_t(i)].red, image.palette[size_t(i)].green,
                          image.palette[size_t(i)].blue};
        png_set_PLTE(codec, info, palette, 256);
    }
    png_write_info(codec, info);
    png_set_bgr(codec);
    for (int y = 0; y < image.height; ++y)
        png_write_row(codec, image.Row(y));
    png_write_end(codec, info);
    png_destroy_write_struct(&codec, &info);
    return true;
}

struct ReadSource {
    const Bytes* file;
    size_t position = 0;
};

void ReadFromFile(png_structp codec, png_bytep data, size_t size) {
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(codec));
    if (size > source->file->size() - source->position)
        png_error(codec, "truncated file");
    if (size > 0)
        std::memcpy(data, source->file->data() + source->position, size);
    source->position += size;
}

// The decoder's pixels, allocated with malloc once the header has given the size.
struct DecodedPixels {
    unsigned char* bytes = nullptr;
    png_bytep* rows = nullptr;
    int width = 0;
    int height = 0;
    ~DecodedPixels() {
        std::free(rows);
        std::free(bytes);
    }
};

bool Decompress(ReadSource* source, DecodedPixels* output) {
    png_structp codec =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    png_infop info = codec ? png_create_info_struct(codec) : nullptr;
    if (!info) {
        png_destroy_read_struct(&codec, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(codec))) {
        png_destroy_read_struct(&codec, &info, nullptr);
        return false;
    }
    png_set_read_fn(codec, source, ReadFromFile);
    png_set_user_limits(codec, 65535, 65535);
    png_set_chunk_malloc_max(codec, 8 << 20);
    png_read_info(codec, info);
    const png_uint_32 width = png_get_image_width(codec, info);
    const png_uint_32 height = png_get_image_height(codec, info);
    if (!AcceptableSize(width, height))
        png_error(codec, "image too large");
    png_set_expand(codec);
    png_set_strip_16(codec);
    png_set_strip_alpha(codec);
    png_set_gray_to_rgb(codec);
    png_set_bgr(codec);
    png_set_interlace_handling(codec);
    png_read_update_info(codec, info);
    if (png_get_rowbytes(codec, info) != size_t(width) * 3)
        png_error(codec, "unexpected row size");
    output->width = int(width);
    output->height = int(height);
    output->bytes = static_cast<unsigned char*>(std::malloc(size_t(width) * 3 * height));
    output->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!output->bytes || !output->rows)
        png_error(codec, "out of memory");
    for (png_uint_32 y = 0; y < height; ++y)
        output->rows[y] = output->bytes + size_t(width) * 3 * y;
    png_read_image(codec, output->rows);
    png_read_end(codec, nullptr);
    png_destroy_read_struct(&codec, &info, nullptr);
    return true;
}

// Whether every chunk after the signature holds no more data than the file has left. libpng
// sizes and clears its buffer for an ancillary chunk by the length the chunk claims, so that a
// file of a hundred bytes could cost a gigabyte before its end is found missing.
bool ChunksFitFile(const Bytes& file) {
    constexpr size_t Signature = 8, Header = 8, Crc = 4; // a header: length and type
    size_t at = Signature;
    while (at + Header <= file.size()) {
        const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 |
                              size_t(file[at + 2]) << 8 | size_t(file[at + 3]);
        if (length + Crc > file.size() - at - Header)
            return false;
        if (std::memcmp(&file[at + 4], "IEND", 4) == 0)
            return true;
        at += Header + length + Crc;
    }
    // What is left is too short for a chunk's header: libpng finds the file truncated.
    return true;
}

} // namespace

bool EncodePng(const Image& image, Bytes& retFile) {
    retFile.clear();
    WriteTarget target{&retFile};
    return Compress(image, &target);
}

bool DecodePng(const Bytes& file, Image& retImage) {
    if (!ChunksFitFile(file))
        return false;
    ReadSource source{&file};
    DecodedPixels output;
    if (!Decompress(&source, &output))
        return false;
    Allocate(retImage, output.width, output.height, false);
    std::memcpy(retImage.pixels.data(), output.bytes, retImage.pixels.size());
    return true;
}
