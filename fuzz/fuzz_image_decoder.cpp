// One of the image library's decoders (chosen when the target is built) on any file; a decoded
// image of camera size must then go through every writer of the library, the reduction to 256
// colours and the reading of its result included, as a reply's image steps take it.
#include "FuzzFiles.h"
#include "pelimage.h"

namespace {

#if defined(FUZZ_JPEG)
int Decode(const char* in, const char* out) {
    return jpeg2bmp(in, out);
}
#elif defined(FUZZ_PNG)
int Decode(const char* in, const char* out) {
    return png2bmp(in, out);
}
#elif defined(FUZZ_GIF)
int Decode(const char* in, const char* out) {
    return gif2bmp(in, out);
}
#else
#error "define FUZZ_JPEG, FUZZ_PNG or FUZZ_GIF"
#endif

void Require(int result) {
    if (result != 1)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = WriteFuzzInput(data, size);
    const std::string bmp = FuzzPath("out.bmp");
    const std::string reduced = FuzzPath("reduced.bmp");
    const std::string again = FuzzPath("again.bin");
    if (Decode(in.c_str(), bmp.c_str()) != 1 || FuzzFileSize(bmp) > (4 << 20))
        return 0;
    // The first byte varies the writers' choices, so that each is reached in every mode.
    const int pick = size > 0 ? data[0] : 0;
    Require(bmp2jpeg(bmp.c_str(), again.c_str(), pick % 101, pick & 1));
    Require(jpeg2bmp(again.c_str(), reduced.c_str()));
    Require(bmp2png(bmp.c_str(), again.c_str()));
    Require(png2bmp(again.c_str(), reduced.c_str()));
    Require(bmp2gif(bmp.c_str(), again.c_str()));
    Require(gif2bmp(again.c_str(), reduced.c_str()));
    // The 8-bit file takes the palette paths of the PNG and GIF writers.
    Require(bmp2color256(bmp.c_str(), reduced.c_str()));
    Require(bmp2png(reduced.c_str(), again.c_str()));
    Require(bmp2gif(reduced.c_str(), again.c_str()));
    return 0;
}
