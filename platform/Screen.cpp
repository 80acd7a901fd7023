#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <optional>
#include <utility>

namespace {
std::optional<ScreenMetrics>& Fixed() {
    static std::optional<ScreenMetrics> metrics;
    return metrics;
}
} // namespace

ScreenMetrics GetScreenMetrics() {
    if (Fixed())
        return *Fixed();
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return ScreenMetrics{800, 600, 15.0, 15.0};
    const QRect geometry = screen->geometry();
    return ScreenMetrics{geometry.width(), geometry.height(),
                         1440.0 / screen->logicalDotsPerInchX(),
                         1440.0 / screen->logicalDotsPerInchY()};
}

std::optional<ScreenMetrics> SetScreenMetrics(std::optional<ScreenMetrics> metrics) {
    return std::exchange(Fixed(), metrics);
}
