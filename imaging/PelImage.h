#pragma once
// The image format library libpelimage.so, bound by name from the program folder. Each
// function is bound at its first call; paths go to the library in the file system's encoding.
#include <QString>

// Loads the library and calls its imagelib_init; false, with the loader's message, when the
// library cannot be loaded (the program cannot run without it).
bool InitImageLibrary(QString& retError);

// The library's functions; each answers 1 for success, and 0 also when it cannot be bound.
int bmp2color256(const QString& sourcePath, const QString& destPath);
int bmp2jpeg(const QString& sourcePath, const QString& destPath, int quality, int progressive);
int bmp2png(const QString& sourcePath, const QString& destPath);
int bmp2gif(const QString& sourcePath, const QString& destPath);
int jpeg2bmp(const QString& sourcePath, const QString& destPath);
int png2bmp(const QString& sourcePath, const QString& destPath);
int gif2bmp(const QString& sourcePath, const QString& destPath);
