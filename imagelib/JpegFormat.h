#pragma once
// JPEG files through libjpeg: errors and warnings both end the call with false.
#include "Image.h"

// Baseline or progressive JPEG of a true-colour image at quality 0 to 100.
bool EncodeJpeg(const Image& image, int quality, bool progressive, Bytes& retFile);

// Any JPEG libjpeg turns into RGB (grey, YCbCr, RGB); the result is true colour.
bool DecodeJpeg(const Bytes& file, Image& retImage);
