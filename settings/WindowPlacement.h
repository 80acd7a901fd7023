#pragma once
// The main window's placement as the options file stores it, in screen pixels. The main
// window provides it at start-up; the options file code reads and restores it.
#include <QRect>

class WindowPlacement {
  public:
    virtual ~WindowPlacement() = default;
    // 0 normal, 1 minimised, 2 maximised.
    virtual int WindowState() const = 0;
    virtual void SetWindowState(int state) = 0;
    // The bounds of the normal (neither minimised nor maximised) window.
    virtual QRect NormalBounds() const = 0;
    virtual void SetNormalBounds(const QRect& bounds) = 0;
};

// nullptr until the main window registers itself (and in tests that register none).
WindowPlacement* MainWindowPlacement();
// Answers the placement it replaces.
WindowPlacement* SetMainWindowPlacement(WindowPlacement* placement);
