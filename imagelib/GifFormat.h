#pragma once
// GIF files through giflib.
#include "Image.h"

// A single-image GIF of an indexed image with its palette.
bool EncodeGif(const Image& image, Bytes& retFile);

// The first image of a GIF, indexed, with its own or the global colour table; false when the
// file ends before that image is complete.
bool DecodeGif(const Bytes& file, Image& retImage);
