#include "settings/WindowPlacement.h"

#include <utility>

namespace {
WindowPlacement*& Registered() {
    static WindowPlacement* placement = nullptr;
    return placement;
}
} // namespace

WindowPlacement* MainWindowPlacement() {
    return Registered();
}

WindowPlacement* SetMainWindowPlacement(WindowPlacement* placement) {
    return std::exchange(Registered(), placement);
}
