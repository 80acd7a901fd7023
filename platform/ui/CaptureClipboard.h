#pragma once
// The capture layer's own clipboard. Stills pass through it instead of the desktop's, so the
// user's clipboard is never emptied or overwritten by the program. It holds one bitmap.
#include "platform/ui/CaptureTypes.h"

#include <QImage>

// Replaces the clipboard's content with image.
void SetClipboardBitmap(const QImage& image);

// True when the clipboard holds data of format (only CF_BITMAP exists here).
bool IsClipboardFormatAvailable(UINT format);

// The bitmap on the clipboard; a null image when there is none.
QImage GetClipboardBitmap();

void EmptyClipboard();
