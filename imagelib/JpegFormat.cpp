#include "JpegFormat.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

// libjpeg reports errors by calling error_exit, which must not return. It jumps back to the
// setjmp in the function that owns the codec object; those functions hold only plain C data,
// so nothing with a destructor is skipped, and their buffers belong to the caller.
namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(codec->err)->jump, 1);
}

// A warning means damaged data (a truncated file among them): treated as an error.
void JumpOnWarning(j_common_ptr codec, int level) {
    if (level < 0)
        JumpOnError(codec);
}

void InstallTrap(ErrorTrap& trap) {
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpOnError;
    trap.manager.emit_message = JumpOnWarning;
}

// The encoder's output, allocated by libjpeg with malloc.
struct CompressedOutput {
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    ~CompressedOutput() { std::free(bytes); }
};

bool Compress(const Image& image, int quality, bool progressive, CompressedOutput* output) {
    jpeg_compress_struct codec;
    ErrorTrap trap;
    codec.err = &trap.manager;
    InstallTrap(trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&codec);
        return false;
    }
    jpeg_create_compress(&codec);
    jpeg_mem_dest(&codec, &output->bytes, &output->size);
    codec.image_width = JDIMENSION(image.width);
    codec.image_height = JDIMENSION(image.height);
    codec.input_components = 3;
    codec.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, quality < 0 ? 0 : quality > 100 ? 100 : quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&codec);
    jpeg_start_compress(&codec, TRUE);
    while (codec.next_scanline < codec.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(image.Row(int(codec.next_scanline)));
        jpeg_write_scanlines(&codec, &row, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    return true;
}

// The decoder's pixels, allocated with malloc once the header has given the size.
struct DecodedPixels {
    unsigned char* bytes = nullptr;
    int width = 0;
    int height = 0;
    ~DecodedPixels() { std::free(bytes); }
};

bool Decompress(const Bytes& file, DecodedPixels* output) {
    jpeg_decompress_struct codec;
    ErrorTrap trap;
    codec.err = &trap.manager;
    InstallTrap(trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&codec);
        return false;
    }
    jpeg_create_decompress(&codec);
    jpeg_mem_src(&codec, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&codec, TRUE) != JPEG_HEADER_OK ||
        !AcceptableSize(codec.image_width, codec.image_height)) {
        jpeg_destroy_decompress(&codec);
        return false;
    }
    codec.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&codec);
    output->width = int(codec.output_width);
    output->height = int(codec.output_height);
    const size_t stride = size_t(output->width) * 3;
    output->bytes = static_cast<unsigned char*>(std::malloc(stride * size_t(output->height)));
    if (!output->bytes || codec.output_components != 3) {
        jpeg_destroy_decompress(&codec);
        return false;
    }
    while (codec.output_scanline < codec.output_height) {
        JSAMPROW row = output->bytes + stride * codec.output_scanline;
        jpeg_read_scanlines(&codec, &row, 1);
    }
    jpeg_finish_decompress(&codec);
    jpeg_destroy_decompress(&codec);
    return true;
}

} // namespace

bool EncodeJpeg(const Image& image, int quality, bool progressive, Bytes& retFile) {
    CompressedOutput output;
    if (image.indexed || !Compress(image, quality, progressive, &output))
        return false;
    retFile.assign(output.bytes, output.bytes + output.size);
    return true;
}

bool DecodeJpeg(const Bytes& file, Image& retImage) {
    DecodedPixels output;
    if (!Decompress(file, &output))
        return false;
    Allocate(retImage, output.width, output.height, false);
    std::copy(output.bytes, output.bytes + retImage.pixels.size(), retImage.pixels.begin());
    return true;
}
