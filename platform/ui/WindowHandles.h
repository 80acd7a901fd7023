#pragma once
// Window handles for widgets, and the window calls that take them. A handle stays valid
// until its widget is gone; after that every call with it fails harmlessly.
#include "platform/ui/CaptureTypes.h"

class QWidget;

// A window that answers messages sent with SendMessageA.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

// The widget's handle, given out on first use.
HWND HandleOf(QWidget* widget);
// The live widget a handle names, or nullptr.
QWidget* WidgetOf(HWND hWnd);

// Delivers the message to the window and answers its result; 0 for a window that does not
// take messages or no window at all.
LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Moves and sizes the window (SWP_NOMOVE, SWP_NOSIZE keep either); z-order is never
// changed here. False without a live window.
bool SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags);

// Destroys the window and its children at once; false without a live window.
bool DestroyWindow(HWND hWnd);
