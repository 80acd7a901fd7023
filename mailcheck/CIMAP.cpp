#include "mailcheck/CIMAP.h"

#include "log/WriteLog.h"
#include "platform/EventPump.h"
#include "platform/SocketControl.h"
#include "settings/CMailAccount.h"

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

// value as an astring: quoted when it can be, otherwise as a literal (parts' next odd index).
void AddString(std::vector<QByteArray>& parts, const QByteArray& value) {
    QByteArray quoted;
    if (QuotedString(value, quoted)) {
        parts.back() += quoted;
        return;
    }
    parts.push_back(value);
    parts.push_back(QByteArray());
}

} // namespace

bool CIMAP::Connect(const QString& sHost, int nPort) {
    sRecvBuffer.clear();
    lastFailure.clear();
    capabilities.clear();
    idleTag.clear();
    inStep = true;
    preauth = false;
    rev2 = false;
    uidValidity = exists = 0;
    newMail = keywordsAllowed = false;
    if (!Open(sHost, nPort, QStringLiteral("IMAP")))
        return false;
    IMAPResponse greeting;
    if (!ReadResponse(greeting) || greeting.kind != IMAPResponse::Untagged ||
        (greeting.status != "OK" && greeting.status != "PREAUTH")) {
        inStep = false;
        return false;
    }
    preauth = greeting.status == "PREAUTH";
    if (!ReadCapabilities(greeting, capabilities) && !RefreshCapabilities(IMAPResponse()))
        return false;
    return security != SecurityStartTls || StartTls();
}

bool CIMAP::StartTls() {
    if (preauth || !HasCapability("STARTTLS"))
        return Refused(QStringLiteral("IMAPサーバーがSTARTTLSに対応していません"));
    IMAPResponse done;
    if (!Command({QByteArrayLiteral("STARTTLS")}, done))
        return false;
    if (!IsOKResponse(done))
        return Refused(QStringLiteral("IMAPサーバーがSTARTTLSを受け付けませんでした: ") +
                       QString::fromLatin1(done.text));
    // RFC 3501 section 6.2.1: nothing may come between the completion and the handshake.
    // Bytes that do were put there to be read as the server's answers inside TLS.
    if (!sRecvBuffer.isEmpty()) {
        sRecvBuffer.clear();
        SockClose();
        return Refused(
            QStringLiteral("IMAPサーバーのSTARTTLSの応答の後に余分なデータがありました"));
    }
    if (!sock->StartTls(pinned) || !WaitConnected(QStringLiteral("IMAP")))
        return false;
    // What the server said in plain text could have been changed on the way.
    capabilities.clear();
    return RefreshCapabilities(IMAPResponse());
}

bool CIMAP::Login(const QString& sUser, const QString& sPass) {
    if (preauth)
        return EnableRev2();
    const QByteArray user = sUser.toUtf8();
    const QByteArray pass = sPass.toUtf8();
    IMAPResponse done;
    if (HasCapability("AUTH=PLAIN")) {
        const QByteArray response = ('\0' + user + '\0' + pass).toBase64();
        if (HasCapability("SASL-IR")) {
            if (!Command({"AUTHENTICATE PLAIN " + response}, done))
                return false;
        } else {
            // The response goes as the answer to the server's empty challenge.
            const QByteArray tag = QByteArray::number(++nextTag).prepend('V');
            IMAPResponse challenge;
            if (!SendBytes(tag + " AUTHENTICATE PLAIN\r\n") || !ReadResponse(challenge))
                return false;
            if (challenge.kind == IMAPResponse::Continuation) {
                if (!SendBytes(response + CrLf) || !Complete(tag, done))
                    return false;
            } else if (challenge.kind != IMAPResponse::Tagged || challenge.tag != tag) {
                inStep = false;
                return false;
            } else {
                done = challenge;
            }
        }
    } else if (HasCapability("LOGINDISABLED")) {
        return false;
    } else {
        std::vector<QByteArray> parts{"LOGIN "};
        AddString(parts, user);
        parts.back() += ' ';
        AddString(parts, pass);
        if (!Command(parts, done))
            return false;
    }
    return IsOKResponse(done) && RefreshCapabilities(done) && EnableRev2();
}

bool CIMAP::EnableRev2() {
    // RFC 9051 section 6.3.1: a server that offers both revisions speaks IMAP4rev1 until
    // asked; a refusal leaves it so.
    if (!HasCapability("IMAP4REV2"))
        return true;
    IMAPResponse done;
    if (!Command({QByteArrayLiteral("ENABLE IMAP4rev2")}, done))
        return false;
    for (const IMAPResponse& response : untagged)
        for (const IMAPValue& value : response.values)
            rev2 = rev2 || (response.name == "ENABLED" && value.text.toUpper() == "IMAP4REV2");
    rev2 = rev2 && IsOKResponse(done);
    return true;
}

bool CIMAP::RefreshCapabilities(const IMAPResponse& done) {
    if (ReadCapabilities(done, capabilities))
        return true;
    IMAPResponse asked;
    if (!Command({QByteArrayLiteral("CAPABILITY")}, asked) || !IsOKResponse(asked))
        return false;
    for (const IMAPResponse& response : untagged)
        if (ReadCapabilities(response, capabilities))
            return true;
    return false;
}

bool CIMAP::Select(const QString& sFolder) {
    uidValidity = 0;
    keywordsAllowed = false;
    std::vector<QByteArray> parts{"SELECT "};
    AddString(parts, MailboxNameUtf7(sFolder));
    IMAPResponse done;
    if (!Command(parts, done) || !IsOKResponse(done))
        return false;
    for (const IMAPResponse& response : untagged) {
        ReadUidValidity(response, uidValidity);
        ReadKeywordsAllowed(response, keywordsAllowed);
    }
    newMail = false;
    return uidValidity != 0;
}

bool CIMAP::TakeNewMail() {
    return std::exchange(newMail, false);
}

bool CIMAP::UidSearch(const QByteArray& sCriteria, QList<quint32>& retUids) {
    if (!CommandOK({"UID SEARCH " + sCriteria}))
        return false;
    QList<quint32> uids;
    for (const IMAPResponse& response : untagged) {
        QList<quint32> found;
        if (ReadSearch(response, found))
            uids += found;
    }
    retUids = uids;
    return true;
}

bool CIMAP::UidFetchHeader(quint32 uid, QByteArray& retHeader, QList<QByteArray>& retFlags) {
    if (!CommandOK({"UID FETCH " + QByteArray::number(uid) + " (UID FLAGS BODY.PEEK[HEADER])"}))
        return false;
    for (const IMAPResponse& response : untagged) {
        IMAPFetch fetch;
        if (ReadFetch(response, fetch) && fetch.uid == uid && fetch.hasHeader) {
            retHeader = fetch.header;
            retFlags = fetch.flags;
            return true;
        }
    }
    return false;
}

bool CIMAP::UidStoreFlags(quint32 uid, const QByteArray& sFlags) {
    return CommandOK({"UID STORE " + QByteArray::number(uid) + " +FLAGS.SILENT (" + sFlags + ')'});
}

bool CIMAP::UidExpunge(quint32 uid, bool& retOthersMarked) {
    retOthersMarked = false;
    // UID EXPUNGE is part of IMAP4rev2 itself.
    if (HasCapability("UIDPLUS") || rev2)
        return CommandOK({"UID EXPUNGE " + QByteArray::number(uid)});
    // A plain EXPUNGE removes every message marked \Deleted, a mail program's too.
    QList<quint32> marked;
    if (!UidSearch("DELETED", marked))
        return false;
    if (marked != QList<quint32>{uid}) {
        retOthersMarked = marked.size() > (marked.contains(uid) ? 1 : 0);
        return false;
    }
    return CommandOK({QByteArrayLiteral("EXPUNGE")});
}

bool CIMAP::Idle() {
    idleTag = QByteArray::number(++nextTag).prepend('V');
    untagged.clear();
    if (!SendBytes(idleTag + " IDLE\r\n"))
        return false;
    while (true) {
        IMAPResponse response;
        if (!ReadResponse(response))
            return false;
        if (response.kind == IMAPResponse::Continuation)
            return true;
        if (response.kind == IMAPResponse::Tagged) {
            // Refused, or a completion that belongs to no command.
            inStep = inStep && response.tag == idleTag;
            idleTag.clear();
            return false;
        }
        TakeIn(response);
    }
}

bool CIMAP::PollIdle() {
    while (qsizetype length = CompleteResponseLength(sRecvBuffer)) {
        IMAPResponse response;
        const bool read = ParseResponse(sRecvBuffer.left(length), response);
        sRecvBuffer.remove(0, length);
        if (!read || response.kind != IMAPResponse::Untagged) {
            inStep = false;
            return false;
        }
        TakeIn(response);
        if (response.status == "BYE")
            return false;
    }
    if (IsOverlongResponse(sRecvBuffer)) {
        inStep = false;
        return false;
    }
    return IsConnected();
}

bool CIMAP::Done() {
    IMAPResponse done;
    const QByteArray tag = std::exchange(idleTag, QByteArray());
    untagged.clear();
    return !tag.isEmpty() && SendBytes(QByteArrayLiteral("DONE\r\n")) && Complete(tag, done) &&
           IsOKResponse(done);
}

bool CIMAP::Logout() {
    const bool done = CommandOK({QByteArrayLiteral("LOGOUT")});
    SockClose();
    return done;
}

void CIMAP::Notify_DataArrival(const QByteArray& bytes) {
    // Past the longest response nothing is kept; the wait then sees the overflow and hangs up.
    if (sRecvBuffer.size() <= MaxIMAPResponseLength)
        sRecvBuffer += bytes;
}

bool CIMAP::SendBytes(const QByteArray& bytes) {
    if (sock)
        sock->SendBytes(bytes);
    DoEvents();
    return true;
}

bool CIMAP::CommandOK(const std::vector<QByteArray>& parts) {
    IMAPResponse done;
    return Command(parts, done) && IsOKResponse(done);
}

bool CIMAP::Command(const std::vector<QByteArray>& parts, IMAPResponse& retDone) {
    const QByteArray tag = QByteArray::number(++nextTag).prepend('V');
    untagged.clear();
    // Literals without waiting where the server allows it (RFC 7888).
    const bool literalPlus = HasCapability("LITERAL+");
    QByteArray line = tag + ' ';
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i % 2 == 0) {
            if (parts[i].contains('\r') || parts[i].contains('\n'))
                return false;
            line += parts[i];
            continue;
        }
        const QByteArray size = QByteArray::number(parts[i].size());
        if (literalPlus) {
            line += '{' + size + "+}\r\n" + parts[i];
            continue;
        }
        if (!SendBytes(line + '{' + size + "}\r\n"))
            return false;
        line.clear();
        IMAPResponse response;
        while (ReadResponse(response) && response.kind == IMAPResponse::Untagged)
            TakeIn(response);
        if (!inStep)
            return false;
        if (response.kind == IMAPResponse::Tagged) {
            // The server refused the command before its literal.
            inStep = response.tag == tag;
            retDone = response;
            return inStep;
        }
        line = parts[i];
    }
    return SendBytes(line + CrLf) && Complete(tag, retDone);
}

bool CIMAP::Complete(const QByteArray& tag, IMAPResponse& retDone) {
    while (true) {
        IMAPResponse response;
        if (!ReadResponse(response))
            return false;
        if (response.kind == IMAPResponse::Untagged) {
            TakeIn(response);
            continue;
        }
        // A continuation no command waits for, or a completion of another tag: out of step.
        if (response.kind != IMAPResponse::Tagged || response.tag != tag) {
            inStep = false;
            return false;
        }
        retDone = response;
        return true;
    }
}

bool CIMAP::ReadResponse(IMAPResponse& retResponse) {
    bool overflow = false;
    const bool complete = wait.Until(
        [this, &overflow] {
            if (CompleteResponseLength(sRecvBuffer) > 0)
                return true;
            overflow = IsOverlongResponse(sRecvBuffer);
            return overflow;
        },
        [this] { return IsConnected(); });
    wait.bCancel = false;
    const qsizetype length = complete ? CompleteResponseLength(sRecvBuffer) : 0;
    if (length == 0) {
        // A response that never ends is no response: the connection it came on is dropped.
        if (overflow) {
            sRecvBuffer.clear();
            SockClose();
        }
        inStep = false;
        return false;
    }
    const bool read = ParseResponse(sRecvBuffer.left(length), retResponse);
    sRecvBuffer.remove(0, length);
    inStep = inStep && read;
    return read;
}

void CIMAP::TakeIn(const IMAPResponse& response) {
    quint32 count = 0;
    if (ReadExists(response, count)) {
        newMail = newMail || count > exists;
        exists = count;
    } else if (response.name == "EXPUNGE" && exists > 0) {
        --exists;
    }
    ReadCapabilities(response, capabilities);
    untagged.push_back(response);
}

CIMAP& IMAPClient() {
    static CIMAP client;
    return client;
}
