#include "capture/PelImage.h"

// The image format library is not bound yet: start-up goes on without it.
bool InitImageLibrary(QString& retError) {
    retError.clear();
    return true;
}
