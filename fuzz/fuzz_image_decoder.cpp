// One of the image library's decoders (chosen when the target is built) on any file; a decoded
// image of camera size must also go back to the same format.
#include "FuzzFiles.h"
#include "pelimage.h"

namespace {

#if defined(FUZZ_JPEG)
int Decode(const char* in, const char* out) {
    return jpeg2bmp(in, out);
}
int Encode(const char* in, const char* out) {
    return bmp2jpeg(in, out, 75, 1);
}
#elif defined(FUZZ_PNG)
int Decode(const char* in, const char* out) {
    return png2bmp(in, out);
}
int Encode(const char* in, const char* out) {
    return bmp2png(in, out);
}
#elif defined(FUZZ_GIF)
int Decode(const char* in, const char* out) {
    return gif2bmp(in, out);
}
int Encode(const char* in, const char* out) {
    return bmp2gif(in, out);
}
#else
#error "define FUZZ_JPEG, FUZZ_PNG or FUZZ_GIF"
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = WriteFuzzInput(data, size);
    const std::string bmp = FuzzPath("out.bmp");
    const std::string again = FuzzPath("again.bin");
    if (Decode(in.c_str(), bmp.c_str()) != 1 || FuzzFileSize(bmp) > (4 << 20))
        return 0;
    if (Encode(bmp.c_str(), again.c_str()) != 1)
        __builtin_trap();
    return 0;
}
