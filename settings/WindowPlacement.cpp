#include "settings/WindowPlacement.h"

namespace {
WindowPlacement*& Registered() {
    static WindowPlacement* placement = nullptr;
    return placement;
}
} // namespace

WindowPlacement* MainWindowPlacement() {
    return Registered();
}

void SetMainWindowPlacement(WindowPlacement* placement) {
    Registered() = placement;
}
