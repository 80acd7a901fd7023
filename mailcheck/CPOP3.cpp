#include "mailcheck/CPOP3.h"

#include "log/WriteLog.h"
#include "platform/CommandLine.h"
#include "platform/EventPump.h"
#include "platform/SocketControl.h"
#include "settings/CMailAccount.h"

bool CPOP3::Connect(const QString& sHost, int nPort, QString& retChallenge) {
    sRecvBuffer.clear();
    retChallenge.clear();
    lastFailure.clear();
    greetingTaken = false;
    inStep = true;
    if (!Open(sHost, nPort, QStringLiteral("POP3")))
        return false;
    const QString greeting = ReadResponse(SingleLine);
    greetingTaken = CompleteReplyLength(greeting, SingleLine) > 0;
    if (security == SecurityStartTls) {
        // RFC 2595 section 4: STLS in the authorization state, before USER or APOP; the
        // greeting's time stamp stays the one APOP uses.
        if (!SendLine(QStringLiteral("STLS")))
            return false;
        const QString reply = ReadResponse(SingleLine);
        if (!IsOK(reply))
            return Refused(
                QStringLiteral("POP3サーバーがSTLSを受け付けませんでした: ") +
                (reply.isEmpty() ? QStringLiteral("応答がありません") : reply.trimmed()));
        // RFC 2595 section 4: nothing may come between the reply and the handshake. Bytes that
        // do were put there by the server or someone on the path, to be read as the server's
        // answers inside TLS: the connection is given up.
        if (!sRecvBuffer.isEmpty()) {
            sRecvBuffer.clear();
            SockClose();
            return Refused(
                QStringLiteral("POP3サーバーのSTLSの応答の後に余分なデータがありました"));
        }
        if (!sock->StartTls(pinned) || !WaitConnected(QStringLiteral("POP3")))
            return false;
    }
    retChallenge = ChallengeOf(greeting);
    return true;
}

bool CPOP3::Login(const QString& sUser, const QString& sPass) {
    TakeLateGreeting();
    if (!SendLine(QStringLiteral("USER ") + sUser) || !IsOK(ReadResponse(SingleLine)))
        return false;
    return SendLine(QStringLiteral("PASS ") + sPass) && IsOK(ReadResponse(SingleLine));
}

bool CPOP3::Login2(const QString& sUser, const QString& sDigest) {
    TakeLateGreeting();
    return SendLine(QStringLiteral("APOP %1 %2").arg(sUser, sDigest.toLower())) &&
           IsOK(ReadResponse(SingleLine));
}

void CPOP3::TakeLateGreeting() {
    // The greeting, when it came too late for Connect, must not be taken as the login's reply:
    // wait for it when Connect took none, and otherwise only take a line already here.
    if (!greetingTaken) {
        inStep = CompleteReplyLength(ReadResponse(SingleLine), SingleLine) > 0;
    } else if (CompleteReplyLength(sRecvBuffer, SingleLine) > 0) {
        ReadResponse(SingleLine);
    }
    greetingTaken = true;
}

bool CPOP3::Quit() {
    const bool updated = SendLine(QStringLiteral("QUIT")) && IsOK(ReadResponse(SingleLine));
    SockClose();
    return updated;
}

bool CPOP3::CMD_LIST(QStringList& retvarList, int id) {
    return ListCommand(QStringLiteral("LIST"), id, retvarList);
}

bool CPOP3::CMD_RETR(int id, QString& retData) {
    return SendLine(QStringLiteral("RETR %1").arg(id)) && ReadData(retData);
}

bool CPOP3::CMD_STAT(int& retCount, int& retBytes) {
    return SendLine(QStringLiteral("STAT")) &&
           ReadStatFields(ReadResponse(SingleLine), retCount, retBytes);
}

bool CPOP3::CMD_RESET() {
    return SendLine(QStringLiteral("RSET")) && IsOK(ReadResponse(SingleLine));
}

bool CPOP3::CMD_NOOP() {
    return SendLine(QStringLiteral("NOOP")) && IsOK(ReadResponse(SingleLine));
}

bool CPOP3::CMD_TOP(int id, int nLine, QString& retData) {
    return SendLine(QStringLiteral("TOP %1 %2").arg(id).arg(nLine)) && ReadData(retData);
}

bool CPOP3::CMD_DELE(int id) {
    return SendLine(QStringLiteral("DELE %1").arg(id)) && IsOK(ReadResponse(SingleLine));
}

bool CPOP3::CMD_UIDL(QStringList& retList, int id) {
    return ListCommand(QStringLiteral("UIDL"), id, retList);
}

void CPOP3::Notify_DataArrival(const QString& text) {
    // Past the longest reply nothing is kept; the wait then sees the overflow and hangs up.
    if (sRecvBuffer.size() <= MaxMultiLineLength)
        sRecvBuffer += text;
}

bool CPOP3::SendLine(const QString& command) {
    if (!IsOneLine(command))
        return false;
    if (sock)
        sock->SendData(command + QStringLiteral("\r\n"));
    DoEvents();
    return true;
}

QString CPOP3::ReadResponse(ReplyMode mode) {
    bool overflow = false;
    qsizetype searched = 0;
    const bool complete = wait.Until(
        [this, mode, &overflow, &searched] {
            if (CompleteReplyLength(sRecvBuffer, mode, searched) > 0)
                return true;
            searched = sRecvBuffer.size();
            overflow = IsOverlongReply(sRecvBuffer, mode);
            return overflow;
        },
        [this] { return IsConnected(); });
    if (overflow) {
        // A reply that never ends is no reply: drop it and the connection it came on.
        inStep = false;
        sRecvBuffer.clear();
        SockClose();
        wait.bCancel = false;
        return QString();
    }
    // Whatever follows a complete reply belongs to the next one.
    const qsizetype length =
        complete ? CompleteReplyLength(sRecvBuffer, mode, searched) : sRecvBuffer.size();
    const QString reply = sRecvBuffer.left(length);
    sRecvBuffer.remove(0, length);
    wait.bCancel = false;
    inStep = inStep && complete && IsStatusReply(reply);
    return reply;
}

bool CPOP3::ReadData(QString& retData) {
    return ReadDataReply(ReadResponse(MultiLine), retData);
}

bool CPOP3::ReadList(QStringList& retList) {
    return ReadListReply(ReadResponse(MultiLine), retList, listWhole);
}

bool CPOP3::ListCommand(const QString& command, int id, QStringList& retList) {
    if (id > 0)
        return SendLine(QStringLiteral("%1 %2").arg(command).arg(id)) &&
               ReadListingLine(ReadResponse(SingleLine), retList);
    return SendLine(command) && ReadList(retList);
}

CPOP3& POP3Client() {
    static CPOP3 client;
    return client;
}
