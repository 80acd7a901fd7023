#pragma once
// Reduction to 256 colours.
#include "Image.h"

// An indexed image of at most 256 colours that looks like the true-colour source. A source of
// at most 256 colours keeps exactly its own; any other gets a palette chosen for it (a median
// cut over a sample of its colours), each pixel the nearest entry, without dithering.
bool QuantizeTo256(const Image& image, Image& retIndexed);
