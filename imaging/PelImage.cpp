#include "imaging/PelImage.h"

#include "platform/SharedLibrary.h"

#include <QFile>

namespace {

SharedLibrary& ImageLibrary() {
    static SharedLibrary library("libpelimage.so");
    return library;
}

// Calls the library function name with the two paths and any further arguments, binding it at
// the first call.
template <const char* name, typename... Extra>
int CallLibrary(const QString& sourcePath, const QString& destPath, Extra... extra) {
    using Function = int (*)(const char*, const char*, Extra...);
    static LibraryFunction<Function> function(ImageLibrary(), name);
    const Function call = function.Get();
    return call ? call(QFile::encodeName(sourcePath).constData(),
                       QFile::encodeName(destPath).constData(), extra...)
                : 0;
}

constexpr char kBmp2Color256[] = "bmp2color256";
constexpr char kBmp2Jpeg[] = "bmp2jpeg";
constexpr char kBmp2Png[] = "bmp2png";
constexpr char kBmp2Gif[] = "bmp2gif";
constexpr char kJpeg2Bmp[] = "jpeg2bmp";
constexpr char kPng2Bmp[] = "png2bmp";
constexpr char kGif2Bmp[] = "gif2bmp";

} // namespace

bool InitImageLibrary(QString& retError) {
    void* init = ImageLibrary().Resolve("imagelib_init", retError);
    if (!init)
        return false;
    // The library keeps no state, so its answer tells the program nothing it needs.
    reinterpret_cast<int (*)(const char*)>(init)("vistrel101");
    return true;
}

int bmp2color256(const QString& sourcePath, const QString& destPath) {
    return CallLibrary<kBmp2Color256>(sourcePath, destPath);
}

int bmp2jpeg(const QString& sourcePath, const QString& destPath, int quality, int progressive) {
    return CallLibrary<kBmp2Jpeg>(sourcePath, destPath, quality, progressive);
}

int bmp2png(const QString& sourcePath, const QString& destPath) {
    return CallLibrary<kBmp2Png>(sourcePath, destPath);
}

int bmp2gif(const QString& sourcePath, const QString& destPath) {
    return CallLibrary<kBmp2Gif>(sourcePath, destPath);
}

int jpeg2bmp(const QString& sourcePath, const QString& destPath) {
    return CallLibrary<kJpeg2Bmp>(sourcePath, destPath);
}

int png2bmp(const QString& sourcePath, const QString& destPath) {
    return CallLibrary<kPng2Bmp>(sourcePath, destPath);
}

int gif2bmp(const QString& sourcePath, const QString& destPath) {
    return CallLibrary<kGif2Bmp>(sourcePath, destPath);
}
