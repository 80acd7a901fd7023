#include "JpegFormat.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

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

// The encoder's output, in a buffer of ours that libjpeg fills and we grow, so that it has one
// owner whatever happens. (libjpeg's own memory destination frees its buffer when it grows it
// and hands back a stale pointer when a later growth fails.)
struct CompressedOutput {
    jpeg_destination_mgr manager{};
    unsigned char* bytes = nullptr;
    size_t capacity = 0;
    size_t size = 0; // set when the compression has finished
    ~CompressedOutput() { std::free(bytes); }
};

constexpr size_t kFirstOutputBytes = 16384;

CompressedOutput& OutputOf(j_compress_ptr codec) {
    return *static_cast<CompressedOutput*>(codec->client_data);
}

void StartOutput(j_compress_ptr codec) {
    CompressedOutput& output = OutputOf(codec);
    output.bytes = static_cast<unsigned char*>(std::malloc(kFirstOutputBytes));
    if (!output.bytes)
        ERREXIT1(codec, JERR_OUT_OF_MEMORY, 0);
    output.capacity = kFirstOutputBytes;
    output.manager.next_output_byte = output.bytes;
    output.manager.free_in_buffer = output.capacity;
}

// Called when the buffer is full: doubles it. On failure the old buffer stays ours.
boolean GrowOutput(j_compress_ptr codec) {
    CompressedOutput& output = OutputOf(codec);
    const size_t larger = output.capacity * 2;
    auto* bytes = static_cast<unsigned char*>(std::realloc(output.bytes, larger));
    if (!bytes)
        ERREXIT1(codec, JERR_OUT_OF_MEMORY, 1);
    output.bytes = bytes;
    output.manager.next_output_byte = bytes + output.capacity;
    output.manager.free_in_buffer = larger - output.capacity;
    output.capacity = larger;
    return TRUE;
}

void EndOutput(j_compress_ptr codec) {
    CompressedOutput& output = OutputOf(codec);
    output.size = output.capacity - output.manager.free_in_buffer;
}

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
    codec.client_data = output;
    output->manager.init_destination = StartOutput;
    output->manager.empty_output_buffer = GrowOutput;
    output->manager.term_destination = EndOutput;
    codec.dest = &output->manager;
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
