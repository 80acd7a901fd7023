#pragma once
// The IMAP client (IMAP4rev1, RFC 3501, or IMAP4rev2, RFC 9051, where the server offers it;
// with STARTTLS, LITERAL+, SASL-IR, UIDPLUS and IDLE)
// that reads the mailbox over a socket control of the main window. Each operation sends one
// tagged command and waits for its completion while the GUI thread pumps events; untagged
// responses that come meanwhile, or at any time, are taken in (a new EXISTS among them). No
// operation raises an error or shows a message: a refused, late or unreadable response is a
// false result.
#include "mailcheck/IMAPResponse.h"
#include "mailcheck/MailboxConnection.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <vector>

class CIMAP : public MailboxConnection {
  public:
    // Connects, reads the greeting and the capabilities. With STARTTLS (RFC 3501 section 6.2.1)
    // the handshake follows, and the capabilities are asked again inside TLS. False on a socket
    // error, a cancel, the time-out, a greeting that is no OK or PREAUTH, or a refused
    // certificate or STARTTLS (never a plain-text session; its reason goes to the activity log
    // and to LastFailure). The caller calls SockClose after a failure.
    bool Connect(const QString& sHost, int nPort);
    // A capability of the server as it stands now (upper case: "IDLE", "UIDPLUS").
    bool HasCapability(const QByteArray& name) const { return capabilities.contains(name); }

    // Logs in: AUTHENTICATE PLAIN (RFC 4616) where the server offers it, LOGIN otherwise
    // (never when the server says LOGINDISABLED); no login after a PREAUTH greeting. Then, on
    // a server that offers IMAP4rev2 (RFC 9051), ENABLEs it.
    bool Login(const QString& sUser, const QString& sPass);
    // Whether the session runs IMAP4rev2 (the server ENABLED it).
    bool Rev2() const { return rev2; }
    // Selects folder for reading and writing; UidValidity, Exists and KeywordsAllowed then
    // tell what the server said of it. False when the server refused it or gave no
    // UIDVALIDITY.
    bool Select(const QString& sFolder);
    quint32 UidValidity() const { return uidValidity; }
    quint32 Exists() const { return exists; }
    // Whether the selected folder keeps keywords of the client's own (PERMANENTFLAGS "\*").
    bool KeywordsAllowed() const { return keywordsAllowed; }
    // Whether an EXISTS raised the message count since the last TakeNewMail.
    bool TakeNewMail();

    // UID SEARCH with sCriteria: the UIDs found, in the server's order.
    bool UidSearch(const QByteArray& sCriteria, QList<quint32>& retUids);
    // The header of message uid with BODY.PEEK[HEADER] (nothing is marked \Seen) and its
    // flags. False when the server refused or sent no header for uid (it is gone).
    bool UidFetchHeader(quint32 uid, QByteArray& retHeader, QList<QByteArray>& retFlags);
    // Adds sFlags (a space-separated list, "\Answered") to message uid.
    bool UidStoreFlags(quint32 uid, const QByteArray& sFlags);
    // Removes message uid, already marked \Deleted, for good: UID EXPUNGE where the server
    // offers UIDPLUS (RFC 4315), otherwise EXPUNGE when uid is the only message marked
    // \Deleted. False when nothing was removed (retOthersMarked: another message was marked).
    bool UidExpunge(quint32 uid, bool& retOthersMarked);

    // Starts IDLE (RFC 2177): true once the server sent its continuation.
    bool Idle();
    // Takes in every response that has come during IDLE, without waiting. False when one
    // did not read or the server ended the session.
    bool PollIdle();
    // Ends IDLE with DONE and waits for the command's completion.
    bool Done();
    // Sends LOGOUT, reads its completion and closes the socket.
    bool Logout();

    // False once a response did not come whole (a time-out, a cancel, a lost connection), did
    // not read, or completed a command not sent: a later response could then be an earlier
    // command's, so the session can only be ended, without LOGOUT. Connect starts in step.
    bool InStep() const { return inStep; }

    // Appends bytes received to the receive buffer (the socket's data event).
    void Notify_DataArrival(const QByteArray& bytes);

  private:
    // Sends one command made of parts: text and, at odd indices, literals, each sent as
    // LITERAL+ allows or after the server's continuation. retDone: its completion.
    bool Command(const std::vector<QByteArray>& parts, IMAPResponse& retDone);
    // A command whose completion must be OK.
    bool CommandOK(const std::vector<QByteArray>& parts);
    bool SendBytes(const QByteArray& bytes);
    // Waits for one whole response and reads it; false (out of step) otherwise.
    bool ReadResponse(IMAPResponse& retResponse);
    // Reads responses up to the completion of tag, taking in the untagged ones.
    bool Complete(const QByteArray& tag, IMAPResponse& retDone);
    // The state an untagged response changes; kept in untagged for the command's reader.
    void TakeIn(const IMAPResponse& response);
    // Asks CAPABILITY unless done carried the list.
    bool RefreshCapabilities(const IMAPResponse& done);
    // ENABLE IMAP4rev2 when the server offers it; false only when the session broke.
    bool EnableRev2();
    bool StartTls();

    QByteArray sRecvBuffer;
    std::vector<IMAPResponse> untagged; // of the command running
    QSet<QByteArray> capabilities;
    int nextTag = 0;
    QByteArray idleTag;
    bool preauth = false;
    bool rev2 = false; // the server ENABLED IMAP4rev2
    bool inStep = true;
    quint32 uidValidity = 0;
    quint32 exists = 0;
    bool newMail = false;
    bool keywordsAllowed = false;
};

// The program's one IMAP client for the mail check.
CIMAP& IMAPClient();
