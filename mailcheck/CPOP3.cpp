#include "mailcheck/CPOP3.h"

#include "platform/EventPump.h"
#include "platform/SocketControl.h"

void CPOP3::Init(SocketControl& sockControl) {
    sock = &sockControl;
    wait = ReplyWait();
}

void CPOP3::SockClose() {
    if (sock)
        sock->Close();
}

void CPOP3::Cancel() {
    wait.bCancel = true;
}

bool CPOP3::Connect(const QString& sHost, int nPort, QString& retChallenge) {
    sRecvBuffer.clear();
    retChallenge.clear();
    if (!sock)
        return false;
    sock->Close();
    sock->Connect(sHost, nPort);
    // A connection that is refused, fails or is dropped before it opens ends the wait at once.
    const bool connected = wait.Until([this] { return IsConnected(); },
                                      [this] {
                                          const int state = sock->State();
                                          return state != SocketControl::sckError &&
                                                 state != SocketControl::sckClosed &&
                                                 state != SocketControl::sckClosing;
                                      });
    if (!connected) {
        wait.bCancel = false;
        return false;
    }
    retChallenge = ChallengeOf(ReadResponse(SingleLine));
    return true;
}

bool CPOP3::Login(const QString& sUser, const QString& sPass) {
    SendLine(QStringLiteral("USER ") + sUser);
    if (!IsOK(ReadResponse(SingleLine)))
        return false;
    SendLine(QStringLiteral("PASS ") + sPass);
    return IsOK(ReadResponse(SingleLine));
}

bool CPOP3::Login2(const QString& sUser, const QString& sDigest) {
    // The greeting, when it came too late for Connect, must not be taken as the APOP reply.
    ReadResponse(SingleLine);
    SendLine(QStringLiteral("APOP %1 %2").arg(sUser, sDigest.toLower()));
    return IsOK(ReadResponse(SingleLine));
}

void CPOP3::Quit() {
    SendLine(QStringLiteral("QUIT"));
    ReadResponse(SingleLine);
    SockClose();
}

bool CPOP3::CMD_LIST(QStringList& retvarList, int id) {
    return ListCommand(QStringLiteral("LIST"), id, retvarList);
}

bool CPOP3::CMD_RETR(int id, QString& retData) {
    SendLine(QStringLiteral("RETR %1").arg(id));
    return ReadData(retData);
}

bool CPOP3::CMD_STAT(int& retCount, int& retBytes) {
    SendLine(QStringLiteral("STAT"));
    return ReadStatFields(ReadResponse(SingleLine), retCount, retBytes);
}

bool CPOP3::CMD_RESET() {
    SendLine(QStringLiteral("RSET"));
    return IsOK(ReadResponse(SingleLine));
}

bool CPOP3::CMD_NOOP() {
    SendLine(QStringLiteral("NOOP"));
    return IsOK(ReadResponse(SingleLine));
}

bool CPOP3::CMD_TOP(int id, int nLine, QString& retData) {
    SendLine(QStringLiteral("TOP %1 %2").arg(id).arg(nLine));
    return ReadData(retData);
}

bool CPOP3::CMD_DELE(int id) {
    SendLine(QStringLiteral("DELE %1").arg(id));
    return IsOK(ReadResponse(SingleLine));
}

bool CPOP3::CMD_UIDL(QStringList& retList, int id) {
    return ListCommand(QStringLiteral("UIDL"), id, retList);
}

void CPOP3::Notify_DataArrival(const QString& text) {
    sRecvBuffer += text;
}

void CPOP3::SendLine(const QString& command) {
    if (sock)
        sock->SendData(command + QStringLiteral("\r\n"));
    DoEvents();
}

QString CPOP3::ReadResponse(ReplyMode mode) {
    const bool complete =
        wait.Until([this, mode] { return CompleteReplyLength(sRecvBuffer, mode) > 0; },
                   [this] { return IsConnected(); });
    // Whatever follows a complete reply belongs to the next one.
    const qsizetype length = complete ? CompleteReplyLength(sRecvBuffer, mode) : sRecvBuffer.size();
    const QString reply = sRecvBuffer.left(length);
    sRecvBuffer.remove(0, length);
    wait.bCancel = false;
    return reply;
}

bool CPOP3::IsConnected() const {
    return sock && sock->State() == SocketControl::sckConnected;
}

bool CPOP3::ReadData(QString& retData) {
    return ReadDataReply(ReadResponse(MultiLine), retData);
}

bool CPOP3::ReadList(QStringList& retList) {
    return ReadListReply(ReadResponse(MultiLine), retList);
}

bool CPOP3::ListCommand(const QString& command, int id, QStringList& retList) {
    if (id > 0) {
        SendLine(QStringLiteral("%1 %2").arg(command).arg(id));
        return ReadListingLine(ReadResponse(SingleLine), retList);
    }
    SendLine(command);
    return ReadList(retList);
}

CPOP3& POP3Client() {
    static CPOP3 client;
    return client;
}
