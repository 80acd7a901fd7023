#include "platform/SharedLibrary.h"

#include "platform/ProgramFolder.h"

#include <QFile>
#include <dlfcn.h>

namespace {
QString LoaderMessage() {
    const char* message = dlerror();
    return message ? QString::fromLocal8Bit(message) : QString();
}
} // namespace

bool SharedLibrary::Load(QString& retError) {
    retError.clear();
    if (handle)
        return true;
    const QString path = ProgramFolder() + u'/' + QString::fromLatin1(fileName);
    handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        retError = LoaderMessage();
    return handle != nullptr;
}

void* SharedLibrary::Resolve(const char* name, QString& retError) {
    if (!Load(retError))
        return nullptr;
    dlerror();
    void* symbol = dlsym(handle, name);
    if (!symbol)
        retError = LoaderMessage();
    return symbol;
}
