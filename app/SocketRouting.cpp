#include "app/SocketRouting.h"

#include "platform/SocketControl.h"

bool ReadArrivedData(SocketControl& sock, QString& retText) {
    if (sock.State() != SocketControl::sckConnected)
        return false;
    return sock.GetData(retText);
}
