#include "capture/TempFolder.h"

// The temp folder is not emptied yet: the image steps that fill it are still to come.
void ClearTempFolder() {}
