#pragma once
// libpelcodec: whole files to base64 text and back. Paths are NUL-terminated file names; each
// function answers 1 on success and 0 when the input cannot be read or the output cannot be
// written. The library keeps no state between calls.
#ifdef __cplusplus
extern "C" {
#endif

#define PELCODEC_EXPORT __attribute__((visibility("default")))

// Writes the base64 text of the input's bytes as one line without a line end; an empty
// input gives an empty output.
PELCODEC_EXPORT int b64encode(const char* inPath, const char* outPath);

// Decodes base64 text, ignoring CR and LF. A character outside the alphabet counts as 0;
// "=" in the last group drops one byte each; a trailing group of two or three characters gives
// one or two bytes.
PELCODEC_EXPORT int b64decode(const char* inPath, const char* outPath);

#ifdef __cplusplus
}
#endif
