#pragma once
// The SMTP client (RFC 5321: greeting, HELO, MAIL, RCPT, DATA, QUIT) that sends reply mails
// over the main window's socket control. When the account asks for it, the dialogue opens with
// EHLO instead and runs in TLS (RFC 8314 from the start, or RFC 3207 STARTTLS) and
// authenticates with AUTH PLAIN or LOGIN (RFC 4954); a plain account keeps the classic HELO
// dialogue. Each command
// waits for its reply through ReplyWait: the thread sleeps until an event comes (so the
// socket's data events reach Notify_DataArrival at once) and looks at the buffer after each,
// ended by the time-out, Cancel or a lost connection. No operation raises or shows anything: a
// refused, late or missing reply is a false result. Reply parsing and the DATA block are the plain
// functions of SMTPReply.h and SMTPData.h.
#include "platform/ReplyWait.h"
#include "platform/TlsCheck.h"

#include <QString>
#include <QStringList>
#include <functional>

class SocketControl;

// How the sending of one message ended.
enum class SendOutcome {
    Sent,        // the server accepted it: a positive reply to the final "."
    Unconfirmed, // it went out whole, then no reply came or the connection was lost: the
                 // server may hold it
    Refused,     // the server refused the sender, the recipient or the message for good (5yz)
    NotSent,     // no connection, a refusal that may pass (4yz, or of the dialogue's opening),
                 // or the message did not go out whole
    Abandoned,   // beforeMessageData said no: given up before the DATA command
};

// The longest wait for the reply to the final "." (RFC 5321 section 4.5.3.2.6: ten minutes;
// a shorter wait makes the sender try again and deliver copies).
constexpr float FinalReplySeconds = 600;

class CSMTP {
  public:
    // Binds the client to its socket control (owned by the main window); time-out 10 s, a
    // look at the time-out every 50 ms.
    void Init(SocketControl& sock);
    // The security of the next Connect and Sendmail (MailSecurity: none, STARTTLS, TLS from
    // the start) and the pinned certificate fingerprint (empty: the usual verification).
    void Security(int nSecurity, const QString& sPinnedFingerprint);
    // The login of AUTH (an empty sUser: no AUTH), and whether it may go over a connection
    // without TLS (never otherwise).
    void AuthLogin(const QString& sUser, const QString& sPassword, bool bWithoutTls);

    // Closes the socket, connects to sHost at nPort (1 to 65535) and waits until connected
    // (in TLS from the start: until the handshake is done and the certificate passed): true
    // then, with sHostName = sHost. False, with the socket closed and the cancel cleared, on a
    // socket error (LastFailure tells, a refused certificate with its reason), a port out of
    // range, a cancel
    // or the time-out. The greeting is left for Sendmail.
    bool Connect(const QString& sHost, int nPort);
    // The opening of the dialogue after Connect: the greeting must be positive, then HELO for
    // a plain account. With security or AUTH asked for: EHLO (HELO only when EHLO is refused
    // and no extension is needed), STARTTLS and EHLO again when asked (a server that does not
    // offer it fails: never a plain-text fallback), then AUTH PLAIN, or LOGIN when only that
    // is offered. False at the first failure, LastFailure then telling which step failed and
    // why (refused with the server's text, no reply, the connection lost), except after a
    // cancel.
    bool Handshake();
    // Why the last Connect, Handshake or command failed, as a line for the log; empty when it
    // did not.
    const QString& LastFailure() const { return lastFailure; }
    // The certificate check of the last handshake.
    const TlsCheck& Certificate() const;
    // Called with a line for each step of the dialogue (EHLO, TLS, AUTH), for a connection
    // test that shows them.
    std::function<void(const QString& line)> onStep;
    // Sends QUIT, reads its reply (whatever it says) and closes the socket.
    void Quit();
    // The whole exchange for one message after Connect: Handshake, then MAIL FROM sFrom,
    // RCPT TO sTo and DATA, stopping at the first refusal. beforeMessageData (when set) runs
    // once the recipient is accepted, just before DATA: from the message data on the server
    // may hold the message, whatever its reply; when it answers false nothing more is sent but
    // QUIT. After a refusal the server is sent QUIT; after a silence or a lost connection the
    // socket is closed at once. True only when the message was accepted; LastOutcome tells
    // how it ended.
    bool Sendmail(const QString& sFrom, const QString& sTo, const QString& sHead,
                  const QString& sBody, const std::function<bool()>& beforeMessageData = {});
    // How the last Sendmail ended.
    SendOutcome LastOutcome() const { return outcome; }
    // "HELO " + HeloArgument(sHost); false, sending nothing, when sHost holds CR, LF or NUL.
    bool CMD_HELO(const QString& sHost);
    // "MAIL FROM:<sFrom>" and "RCPT TO:<sTo>", with no blank after the colon (RFC 5321 section
    // 4.1.2); false, sending nothing, for an address that IsSafeMailAddress refuses.
    bool CMD_MAIL_FROM(const QString& sFrom);
    bool CMD_RCPT_TO(const QString& sTo);
    // beforeMessageData (false: Abandoned, nothing sent), DATA, then after its 354 the
    // DataBlock of sHead and sBody; true when that is accepted. The block's time-out starts
    // again whenever bytes of it leave, so a slow uplink that keeps moving does not fail it;
    // once it has gone out whole the reply is awaited up to FinalReplySeconds (a cancel still
    // ends the wait at once), and a silence or a lost connection then is Unconfirmed.
    bool CMD_DATA(const QString& sHead, const QString& sBody,
                  const std::function<bool()>& beforeMessageData = {});
    bool CMD_NOOP();
    // A header of Subject (EncodeHeaderText), From, To, Content-Type (default text/plain in
    // ISO-2022-JP), Content-Transfer-Encoding (default 7bit), MIME-Version and, when sXMailer
    // is not empty, X-Mailer lines, each ending in CR LF. Empty when an address is refused by
    // IsSafeMailAddress or another value holds CR, LF or NUL.
    static QString MakeHead(const QString& sSubject, const QString& sFrom, const QString& sTo,
                            const QString& sContentType, const QString& sContentTransferEncoding,
                            const QString& sXMailer);
    // Ends the current wait at its next poll. The cancel stays set (every wait then ends at
    // once) until a reply is taken or Connect gives up.
    void Cancel();
    // Longest time, in seconds, that one wait may take; 0 or less ends a wait at its first
    // look unless the reply is already there.
    void SetTimeout(float seconds);
    // Called from the socket's data event with the text just read.
    void Notify_DataArrival(const QString& text);

  private:
    // Sends line and CR LF; send errors are ignored (the reply that does not come tells). One
    // pass of the event pump follows.
    void SendLine(const QString& line);
    // Waits for one complete reply and takes it from the buffer, leaving what follows it. ""
    // when none came complete: time-out, cancel, lost connection or a reply past
    // MaxSMTPReplyLength (what did come is dropped).
    QString ReadResponse();
    bool IsConnected() const;
    // The end of a failed exchange: QUIT for a server that answered, otherwise just close.
    void EndAfterFailure();
    // Waits until the socket is connected (in TLS, once the handshake is done); a refused
    // certificate is a failure with its reason.
    bool WaitConnected();
    // EHLO, falling back to HELO when that is allowed; retReply: the EHLO reply.
    bool Ehlo(QString& retReply);
    bool StartTls(const QString& sEhloReply);
    bool Authenticate(const QString& sEhloReply);
    // Sends line, answers the reply and shows it as a step.
    QString Command(const QString& line, const QString& sShown);
    bool Fail(const QString& sReason);
    // The failure of sStep (a command's name) whose reply did not do: the server's refusal
    // with its text, no reply, or the connection gone; no reason after a cancel.
    bool StepFailed(const QString& sStep, const QString& reply);
    // As StepFailed, for a step of the message itself: a permanent refusal makes the outcome
    // Refused.
    bool MessageStepFailed(const QString& sStep, const QString& reply);
    // Waits until every byte sent has gone out to the network, the time-out counted from the
    // last that left; false when the connection was lost first, stalled or was cancelled.
    bool WaitWritten();
    void Step(const QString& line) const;

    SocketControl* sock = nullptr;
    QString sHostName;      // of the last successful Connect; the HELO argument
    QString sRecvBuffer;    // arrived and not yet taken as a reply
    bool bAnswered = false; // the last wait took a complete reply
    int security = 0;       // MailSecurity of the next Connect
    QString pinned;         // pinned fingerprint of the next Connect
    QString authUser;       // empty: no AUTH
    QString authPassword;
    bool authWithoutTls = false;
    QString lastFailure;
    SendOutcome outcome = SendOutcome::NotSent;
    ReplyWait wait; // time-out, cancel and deadline of the waits
};

// The program's one SMTP client, created on first use.
CSMTP& SMTPClient();
