#include "tests/support/LoopbackPort.h"

#include <QHostAddress>
#include <QTcpServer>

int FreeLoopbackPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}
