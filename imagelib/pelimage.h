#pragma once
// libpelimage: BMP files to and from JPEG, PNG and GIF, and BMP files reduced to 256 colours.
// Paths are NUL-terminated file names; inputs are recognised by their content, never by their
// names. Every function answers 1 on success and 0 otherwise (unreadable, damaged or
// truncated input, an unwritable destination); on success the destination is complete.
#ifdef __cplusplus
extern "C" {
#endif

#define PELIMAGE_EXPORT __attribute__((visibility("default")))

// 1 when the PNG library found at run time is the release the library was built for. The
// library keeps no state, so the text is not used.
PELIMAGE_EXPORT int imagelib_init(const char* text);

// Sources of the functions below are BMP files of 8 (with palette), 24 or 32 bits a pixel,
// uncompressed, bottom-up or top-down.

// An 8-bit BMP with a palette of at most 256 colours that looks like the source.
PELIMAGE_EXPORT int bmp2color256(const char* sourcePath, const char* destPath);

// quality 0 to 100 (higher keeps more detail); progressive 1 for a progressive JPEG.
PELIMAGE_EXPORT int bmp2jpeg(const char* sourcePath, const char* destPath, int quality,
                             int progressive);

// A palette PNG for an 8-bit source, a true-colour PNG otherwise; lossless.
PELIMAGE_EXPORT int bmp2png(const char* sourcePath, const char* destPath);

// An 8-bit source keeps its palette; a true-colour source is reduced to 256 colours first.
PELIMAGE_EXPORT int bmp2gif(const char* sourcePath, const char* destPath);

// Decoders: a 24-bit bottom-up BMP with a 40-byte info header. GIF gives its first image;
// transparency is dropped.
PELIMAGE_EXPORT int jpeg2bmp(const char* sourcePath, const char* destPath);
PELIMAGE_EXPORT int png2bmp(const char* sourcePath, const char* destPath);
PELIMAGE_EXPORT int gif2bmp(const char* sourcePath, const char* destPath);

#ifdef __cplusplus
}
#endif
