#pragma once
// The main window's routing of one socket control, for tests that drive a protocol client
// without the window: arrived data, read while connected, goes to notify; the peer's close
// closes the control.
#include <QString>
#include <functional>

class SocketControl;

void RouteSocket(SocketControl& sock, std::function<void(const QString&)> notify);
