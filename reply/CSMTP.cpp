#include "reply/CSMTP.h"

#include "platform/EventPump.h"
#include "platform/SocketControl.h"
#include "reply/SMTPData.h"
#include "reply/SMTPReply.h"
#include "textenc/EncodedWords.h"

#include <initializer_list>

namespace {
const QString CrLf = QStringLiteral("\r\n");
} // namespace

void CSMTP::Init(SocketControl& sockControl) {
    sock = &sockControl;
    wait = ReplyWait();
    wait.TimeoutSecond = 10;
    // A reply, a close or a cancel ends a wait at once; the poll period only bounds how late
    // a time-out is seen, so it can be long enough to cost next to nothing.
    wait.LoopWaitMS = 50;
}

bool CSMTP::Connect(const QString& sHost, int nPort) {
    sRecvBuffer.clear();
    if (!sock)
        return false;
    sock->Close();
    if (nPort < 1 || nPort > 65535 || !IsSafeCommandArgument(sHost))
        return false;
    sock->Connect(sHost, nPort);
    // A connection that is refused, fails or is dropped before it opens ends the wait at once.
    const bool connected =
        wait.Until([this] { return IsConnected(); }, [this] { return !sock->IsDown(); });
    if (!connected) {
        wait.bCancel = false;
        sock->Close();
        return false;
    }
    sHostName = sHost;
    return true;
}

void CSMTP::Quit() {
    SendLine(QStringLiteral("QUIT"));
    ReadResponse();
    if (sock)
        sock->Close();
}

bool CSMTP::Sendmail(const QString& sFrom, const QString& sTo, const QString& sHead,
                     const QString& sBody) {
    // RFC 5321 section 3.1: a greeting other than 220 (554) means no service here.
    const bool sent = IsCode250(ReadResponse()) && CMD_HELO(sHostName) && CMD_MAIL_FROM(sFrom) &&
                      CMD_RCPT_TO(sTo) && CMD_DATA(sHead, sBody);
    if (!sent)
        EndAfterFailure();
    return sent;
}

bool CSMTP::CMD_HELO(const QString& sHost) {
    if (!IsSafeCommandArgument(sHost))
        return false;
    SendLine(QStringLiteral("HELO ") + sHost);
    return IsCode250(ReadResponse());
}

bool CSMTP::CMD_MAIL_FROM(const QString& sFrom) {
    if (!IsSafeMailAddress(sFrom))
        return false;
    SendLine(QStringLiteral("MAIL FROM: <") + sFrom + u'>');
    return IsCode250(ReadResponse());
}

bool CSMTP::CMD_RCPT_TO(const QString& sTo) {
    if (!IsSafeMailAddress(sTo))
        return false;
    SendLine(QStringLiteral("RCPT TO: <") + sTo + u'>');
    return IsCode250(ReadResponse());
}

bool CSMTP::CMD_DATA(const QString& sHead, const QString& sBody) {
    SendLine(QStringLiteral("DATA"));
    if (!IsCode354(ReadResponse()))
        return false;
    SendText(DataBlock(sHead, sBody));
    return IsCode250(ReadResponse());
}

bool CSMTP::CMD_NOOP() {
    SendLine(QStringLiteral("NOOP"));
    return IsCode250(ReadResponse());
}

QString CSMTP::MakeHead(const QString& sSubject, const QString& sFrom, const QString& sTo,
                        const QString& sContentType, const QString& sContentTransferEncoding,
                        const QString& sXMailer) {
    if (!IsSafeMailAddress(sFrom) || !IsSafeMailAddress(sTo))
        return {};
    for (const QString* value : {&sContentType, &sContentTransferEncoding, &sXMailer})
        if (!IsSafeCommandArgument(*value))
            return {};
    const QString subjectName = QStringLiteral("Subject: ");
    QString head = subjectName + EncodeHeaderText(sSubject, subjectName.size()) + CrLf;
    head += QStringLiteral("From: ") + sFrom + CrLf;
    head += QStringLiteral("To: ") + sTo + CrLf;
    head += QStringLiteral("Content-Type: ") +
            (sContentType.isEmpty() ? QStringLiteral("text/plain; charset=\"iso-2022-jp\"")
                                    : sContentType) +
            CrLf;
    head +=
        QStringLiteral("Content-Transfer-Encoding: ") +
        (sContentTransferEncoding.isEmpty() ? QStringLiteral("7bit") : sContentTransferEncoding) +
        CrLf;
    head += QStringLiteral("MIME-Version: 1.0") + CrLf;
    if (!sXMailer.isEmpty())
        head += QStringLiteral("X-Mailer: ") + sXMailer + CrLf;
    return head;
}

void CSMTP::Cancel() {
    wait.bCancel = true;
}

void CSMTP::SetTimeout(float seconds) {
    wait.TimeoutSecond = seconds;
}

void CSMTP::Notify_DataArrival(const QString& text) {
    sRecvBuffer += text;
}

void CSMTP::SendText(const QString& text) {
    if (sock)
        sock->SendData(text);
    DoEvents();
}

void CSMTP::SendLine(const QString& line) {
    SendText(line + CrLf);
}

QString CSMTP::ReadResponse() {
    wait.Until(
        [this] {
            return CompleteReplyLength(sRecvBuffer) > 0 || sRecvBuffer.size() > MaxSMTPReplyLength;
        },
        [this] { return IsConnected(); });
    const qsizetype length = CompleteReplyLength(sRecvBuffer);
    bAnswered = length > 0 && length <= MaxSMTPReplyLength;
    if (!bAnswered) {
        sRecvBuffer.clear();
        return {};
    }
    const QString reply = sRecvBuffer.left(length);
    sRecvBuffer.remove(0, length);
    wait.bCancel = false;
    return reply;
}

bool CSMTP::IsConnected() const {
    return sock && sock->State() == SocketControl::sckConnected;
}

void CSMTP::EndAfterFailure() {
    if (bAnswered && IsConnected())
        Quit();
    else if (sock)
        sock->Close();
}

CSMTP& SMTPClient() {
    static CSMTP client;
    return client;
}
