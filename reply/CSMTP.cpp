#include "reply/CSMTP.h"

#include "platform/EventPump.h"
#include "platform/SocketControl.h"
#include "reply/SMTPData.h"
#include "reply/SMTPReply.h"
#include "settings/CMailAccount.h"
#include "textenc/EncodedWords.h"
#include "textenc/modConvBase64.h"

#include <algorithm>
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

void CSMTP::Security(int nSecurity, const QString& sPinnedFingerprint) {
    security = nSecurity;
    pinned = sPinnedFingerprint;
}

void CSMTP::AuthLogin(const QString& sUser, const QString& sPassword, bool bWithoutTls) {
    authUser = sUser;
    authPassword = sPassword;
    authWithoutTls = bWithoutTls;
}

const TlsCheck& CSMTP::Certificate() const {
    static const TlsCheck none;
    return sock ? sock->Certificate() : none;
}

bool CSMTP::Connect(const QString& sHost, int nPort) {
    sRecvBuffer.clear();
    lastFailure.clear();
    if (!sock)
        return false;
    sock->Close();
    if (nPort < 1 || nPort > 65535 || !IsSafeCommandArgument(sHost))
        return false;
    if (security == SecurityTls)
        sock->ConnectTls(sHost, nPort, pinned);
    else
        sock->Connect(sHost, nPort, security == SecurityStartTls);
    if (!WaitConnected()) {
        sock->Close();
        return false;
    }
    sHostName = sHost;
    return true;
}

bool CSMTP::WaitConnected() {
    // A connection that is refused, fails or is dropped before it opens ends the wait at once.
    const bool connected =
        wait.Until([this] { return IsConnected(); }, [this] { return !sock->IsDown(); });
    if (!connected) {
        const bool cancelled = wait.bCancel;
        wait.bCancel = false;
        if (sock->Certificate().Problem != TlsProblem::None)
            return Fail(TlsFailureLine(QStringLiteral("SMTP"), sock->Certificate()));
        return cancelled ? false : Fail(QStringLiteral("SMTPサーバーに接続できませんでした"));
    }
    if (sock->IsEncrypted())
        Step(TlsCertificateLine(sock->Certificate()));
    return true;
}

bool CSMTP::Handshake() {
    // RFC 5321 section 3.1: a greeting other than 220 (554) means no service here.
    const QString greeting = ReadResponse();
    if (!IsCode250(greeting))
        return StepFailed(QStringLiteral("接続"), greeting);
    if (security == SecurityNone && authUser.isEmpty())
        return CMD_HELO(sHostName);
    QString ehlo;
    if (!Ehlo(ehlo))
        return false;
    if (security == SecurityStartTls && (!StartTls(ehlo) || !Ehlo(ehlo)))
        return false;
    return authUser.isEmpty() || Authenticate(ehlo);
}

bool CSMTP::Ehlo(QString& retReply) {
    if (!IsSafeCommandArgument(sHostName))
        return false;
    retReply = Command(QStringLiteral("EHLO ") + HeloArgument(sHostName), QStringLiteral("EHLO"));
    if (IsCode250(retReply))
        return true;
    if (!bAnswered)
        return StepFailed(QStringLiteral("EHLO"), retReply);
    // RFC 5321 section 3.2: a server that does not know EHLO is greeted with HELO, but then it
    // offers no extension, and neither STARTTLS nor AUTH can follow.
    const bool extensionNeeded =
        (security == SecurityStartTls && !sock->IsEncrypted()) || !authUser.isEmpty();
    if (extensionNeeded)
        return StepFailed(QStringLiteral("EHLO"), retReply);
    retReply.clear();
    return CMD_HELO(sHostName);
}

bool CSMTP::StartTls(const QString& sEhloReply) {
    if (!EhloKeywords(sEhloReply).contains(QStringLiteral("STARTTLS")))
        return Fail(QStringLiteral("SMTPサーバーがSTARTTLSに対応していません"));
    const QString reply = Command(QStringLiteral("STARTTLS"), QStringLiteral("STARTTLS"));
    if (!IsReplyCode(reply, "220"))
        return StepFailed(QStringLiteral("STARTTLS"), reply);
    // RFC 3207 section 4.2: what the server said before the handshake is forgotten.
    sRecvBuffer.clear();
    return sock->StartTls(pinned) && WaitConnected();
}

bool CSMTP::Authenticate(const QString& sEhloReply) {
    if (!sock->IsEncrypted() && !authWithoutTls)
        return Fail(QStringLiteral("暗号化されていない接続ではSMTPの認証をしません"));
    const QStringList mechanisms = AuthMechanisms(sEhloReply);
    QString reply;
    if (mechanisms.contains(QStringLiteral("PLAIN"))) {
        SendLine(QStringLiteral("AUTH PLAIN ") + PlainCredentials(authUser, authPassword));
        reply = ReadResponse();
    } else if (mechanisms.contains(QStringLiteral("LOGIN"))) {
        // RFC 4954 has the user name and the password asked for in turn with 334.
        SendLine(QStringLiteral("AUTH LOGIN"));
        reply = ReadResponse();
        for (const QString& answer : {authUser, authPassword}) {
            if (!IsReplyCode(reply, "334"))
                break;
            SendLine(QString::fromLatin1(EncodeBase64(answer.toUtf8())));
            reply = ReadResponse();
        }
    } else {
        return Fail(QStringLiteral("SMTPサーバーがPLAINとLOGINのどちらの認証にも対応していません"));
    }
    Step(QStringLiteral("AUTH: ") + ReplyText(reply));
    if (IsReplyCode(reply, "235"))
        return true;
    return reply.isEmpty() ? StepFailed(QStringLiteral("AUTH"), reply)
                           : Fail(QStringLiteral("SMTPの認証に失敗しました: ") + ReplyText(reply));
}

QString CSMTP::Command(const QString& line, const QString& sShown) {
    SendLine(line);
    const QString reply = ReadResponse();
    Step(sShown + QStringLiteral(": ") + ReplyText(reply));
    return reply;
}

bool CSMTP::Fail(const QString& sReason) {
    lastFailure = sReason;
    return false;
}

bool CSMTP::StepFailed(const QString& sStep, const QString& reply) {
    if (!reply.isEmpty())
        return Fail(QStringLiteral("SMTPサーバーが") + sStep +
                    QStringLiteral("を受け付けませんでした: ") + ReplyText(reply));
    // A cancel is no fault of the server's.
    if (wait.bCancel)
        return false;
    return Fail((IsConnected() ? QStringLiteral("SMTPサーバーから応答がありませんでした (")
                               : QStringLiteral("SMTPサーバーとの接続が切れました (")) +
                sStep + u')');
}

bool CSMTP::MessageStepFailed(const QString& sStep, const QString& reply) {
    if (IsPermanentFailure(reply))
        outcome = SendOutcome::Refused;
    return StepFailed(sStep, reply);
}

void CSMTP::Step(const QString& line) const {
    if (onStep)
        onStep(line);
}

void CSMTP::Quit() {
    SendLine(QStringLiteral("QUIT"));
    ReadResponse();
    if (sock)
        sock->Close();
}

bool CSMTP::Sendmail(const QString& sFrom, const QString& sTo, const QString& sHead,
                     const QString& sBody, const std::function<bool()>& beforeMessageData) {
    outcome = SendOutcome::NotSent;
    const bool sent = Handshake() && CMD_MAIL_FROM(sFrom) && CMD_RCPT_TO(sTo) &&
                      CMD_DATA(sHead, sBody, beforeMessageData);
    if (!sent)
        EndAfterFailure();
    return sent;
}

bool CSMTP::CMD_HELO(const QString& sHost) {
    if (!IsSafeCommandArgument(sHost))
        return false;
    const QString reply =
        Command(QStringLiteral("HELO ") + HeloArgument(sHost), QStringLiteral("HELO"));
    return IsCode250(reply) || StepFailed(QStringLiteral("HELO"), reply);
}

bool CSMTP::CMD_MAIL_FROM(const QString& sFrom) {
    if (!IsSafeMailAddress(sFrom))
        return false;
    SendLine(QStringLiteral("MAIL FROM:<") + sFrom + u'>');
    const QString reply = ReadResponse();
    return IsCode250(reply) || MessageStepFailed(QStringLiteral("MAIL FROM"), reply);
}

bool CSMTP::CMD_RCPT_TO(const QString& sTo) {
    if (!IsSafeMailAddress(sTo))
        return false;
    SendLine(QStringLiteral("RCPT TO:<") + sTo + u'>');
    const QString reply = ReadResponse();
    return IsCode250(reply) || MessageStepFailed(QStringLiteral("RCPT TO"), reply);
}

bool CSMTP::CMD_DATA(const QString& sHead, const QString& sBody,
                     const std::function<bool()>& beforeMessageData) {
    if (beforeMessageData && !beforeMessageData()) {
        outcome = SendOutcome::Abandoned;
        return false;
    }
    SendLine(QStringLiteral("DATA"));
    const QString go = ReadResponse();
    if (!IsCode354(go))
        return MessageStepFailed(QStringLiteral("DATA"), go);
    // The server takes the message only at the end of mail data indication (RFC 5321
    // section 4.1.1.4); until the block goes out it holds nothing of it. The block goes in one
    // write, so that no small last segment waits for the acknowledgement of the one before.
    const QString step = QStringLiteral("メール本文");
    // A close that came with the 354 is seen before the block is given to a dead connection.
    DoEvents();
    if (!sock || !sock->SendData(DataBlock(sHead, sBody)) || !WaitWritten())
        return StepFailed(step, QString());
    outcome = SendOutcome::Unconfirmed;
    const float usual = wait.TimeoutSecond;
    wait.TimeoutSecond = std::max(usual, FinalReplySeconds);
    const QString reply = ReadResponse();
    wait.TimeoutSecond = usual;
    if (IsCode250(reply)) {
        outcome = SendOutcome::Sent;
        return true;
    }
    if (!reply.isEmpty())
        outcome = SendOutcome::NotSent;
    return MessageStepFailed(step, reply);
}

bool CSMTP::WaitWritten() {
    // RFC 5321 section 4.5.3.2: the time-out is per send, not for the whole block.
    for (qint64 left = sock->BytesToWrite(); left > 0; left = sock->BytesToWrite()) {
        const bool moved = wait.Until([this, left] { return sock->BytesToWrite() < left; },
                                      [this] { return IsConnected(); });
        // Lost with bytes left: the final "." may never have gone out.
        if (!moved || !IsConnected())
            return false;
    }
    return true;
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

void CSMTP::SendLine(const QString& line) {
    if (sock)
        sock->SendData(line + CrLf);
    DoEvents();
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
