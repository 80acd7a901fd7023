#pragma once
// Reduction to 256 colours.
#include "Image.h"

// An indexed image of at most 256 colours that looks like the true-colour source. A source of
// at most 256 colours keeps exactly its own; any other gets a palette chosen for it and is
// dithered by error diffusion.
bool QuantizeTo256(const Image& image, Image& retIndexed);
