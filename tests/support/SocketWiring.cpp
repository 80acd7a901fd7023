#include "tests/support/SocketWiring.h"

#include "platform/SocketControl.h"

void RouteSocket(SocketControl& sock, std::function<void(const QString&)> notify) {
    sock.onDataArrival = [&sock, notify = std::move(notify)](qint64) {
        QString text;
        if (sock.State() == SocketControl::sckConnected && sock.GetData(text))
            notify(text);
    };
    sock.onClose = [&sock] { sock.Close(); };
}
