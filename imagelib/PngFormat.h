#pragma once
// PNG files through libpng: any error, a bad checksum or missing data ends the call with false.
#include "Image.h"

// A palette PNG for an indexed image, an 8-bit RGB PNG otherwise.
bool EncodePng(const Image& image, Bytes& retFile);

// Any PNG as true colour; transparency is dropped.
bool DecodePng(const Bytes& file, Image& retImage);
