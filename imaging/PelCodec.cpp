#include "imaging/PelCodec.h"

#include "platform/SharedLibrary.h"

#include <QFile>

bool b64encode(const QString& inPath, const QString& outPath, int& retResult) {
    using Encode = int (*)(const char*, const char*);
    static SharedLibrary library("libpelcodec.so");
    static LibraryFunction<Encode> function(library, "b64encode");
    const Encode encode = function.Get();
    if (!encode)
        return false;
    retResult =
        encode(QFile::encodeName(inPath).constData(), QFile::encodeName(outPath).constData());
    return true;
}
