// jpeg2bmp on any file; a decoded image of camera size must also go back to JPEG.
#include "FuzzFiles.h"
#include "pelimage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = WriteFuzzInput(data, size);
    const std::string bmp = FuzzPath("out.bmp");
    const std::string again = FuzzPath("again.bin");
    if (jpeg2bmp(in.c_str(), bmp.c_str()) != 1 || FuzzFileSize(bmp) > (4 << 20))
        return 0;
    if (bmp2jpeg(bmp.c_str(), again.c_str(), 75, 1) != 1)
        __builtin_trap();
    return 0;
}
