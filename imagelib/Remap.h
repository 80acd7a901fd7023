#pragma once
// Mapping a true-colour image onto a palette.
#include "Image.h"

// Each pixel becomes its nearest palette entry (1 to 256 entries); retIndexed is allocated
// as indexed and gets the palette.
void RemapNearest(const Image& image, const std::vector<PaletteEntry>& palette, Image& retIndexed);
