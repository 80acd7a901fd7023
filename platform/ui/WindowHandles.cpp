#include "platform/ui/WindowHandles.h"

#include <QPointer>
#include <QWidget>
#include <map>

namespace {

struct HandleTable {
    std::map<HWND, QPointer<QWidget>> widgets;
    HWND next = 0x100;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

const char* const HandleProperty = "vistrelWindowHandle";

} // namespace

HWND HandleOf(QWidget* widget) {
    if (!widget)
        return 0;
    const QVariant known = widget->property(HandleProperty);
    if (known.isValid())
        return known.value<HWND>();
    HandleTable& table = Table();
    // Handles of widgets that are gone are dropped here, so the table never grows past the
    // live ones.
    std::erase_if(table.widgets, [](const auto& entry) { return entry.second.isNull(); });
    const HWND handle = table.next;
    table.next += 4;
    table.widgets[handle] = widget;
    widget->setProperty(HandleProperty, QVariant::fromValue(handle));
    return handle;
}

QWidget* WidgetOf(HWND hWnd) {
    const HandleTable& table = Table();
    const auto found = table.widgets.find(hWnd);
    return found == table.widgets.end() ? nullptr : found->second.data();
}

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* target = dynamic_cast<MessageTarget*>(WidgetOf(hWnd));
    return target ? target->WindowProc(msg, wParam, lParam) : 0;
}

bool SetWindowPos(HWND hWnd, HWND, int x, int y, int cx, int cy, UINT uFlags) {
    QWidget* widget = WidgetOf(hWnd);
    if (!widget)
        return false;
    if (!(uFlags & SWP_NOMOVE))
        widget->move(x, y);
    if (!(uFlags & SWP_NOSIZE))
        widget->resize(cx, cy);
    return true;
}

bool DestroyWindow(HWND hWnd) {
    QWidget* widget = WidgetOf(hWnd);
    if (!widget)
        return false;
    Table().widgets.erase(hWnd);
    delete widget;
    return true;
}
