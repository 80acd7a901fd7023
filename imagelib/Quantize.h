#pragma once
// Reduction to 256 colours through libimagequant.
#include "Image.h"

// An indexed image of at most 256 colours that looks like the true-colour source, dithered.
bool QuantizeTo256(const Image& image, Image& retIndexed);
