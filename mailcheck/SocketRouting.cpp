#include "mailcheck/SocketRouting.h"

#include "mailcheck/CIMAP.h"
#include "mailcheck/CPOP3.h"
#include "platform/SocketControl.h"
#include "reply/CSMTP.h"

bool ReadArrivedData(SocketControl& sock, QString& retText) {
    if (sock.State() != SocketControl::sckConnected)
        return false;
    return sock.GetData(retText);
}

SocketRouting::SocketRouting(SocketControl& sckPOP, CPOP3& pop, SocketControl& sckSMTP, CSMTP& smtp)
    : sckPOP(sckPOP), pop(pop), sckSMTP(sckSMTP), smtp(smtp) {
    sckPOP.onDataArrival = [this](qint64 bytesTotal) { sckPOP_DataArrival(bytesTotal); };
    sckSMTP.onDataArrival = [this](qint64 bytesTotal) { sckSMTP_DataArrival(bytesTotal); };
    sckPOP.onClose = [this] { sckPOP_Close(); };
    sckSMTP.onClose = [this] { sckSMTP_Close(); };
}

void SocketRouting::sckPOP_DataArrival(qint64) {
    QString text;
    if (ReadArrivedData(sckPOP, text))
        pop.Notify_DataArrival(text);
}

void SocketRouting::sckSMTP_DataArrival(qint64) {
    QString text;
    if (ReadArrivedData(sckSMTP, text))
        smtp.Notify_DataArrival(text);
}

void SocketRouting::sckPOP_Close() {
    sckPOP.Close();
}

void SocketRouting::sckSMTP_Close() {
    sckSMTP.Close();
}

IMAPRouting::IMAPRouting(SocketControl& sck, CIMAP& imap, std::function<void()> afterData)
    : sck(sck), imap(imap), afterData(std::move(afterData)) {
    sck.onDataArrival = [this](qint64 bytesTotal) { sck_DataArrival(bytesTotal); };
    sck.onClose = [this] { sck_Close(); };
}

void IMAPRouting::sck_DataArrival(qint64) {
    if (sck.State() != SocketControl::sckConnected)
        return;
    QByteArray bytes;
    sck.GetBytes(bytes);
    imap.Notify_DataArrival(bytes);
    if (afterData)
        afterData();
}

void IMAPRouting::sck_Close() {
    sck.Close();
    if (afterData)
        afterData();
}
