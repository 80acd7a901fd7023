#pragma once
// The SMTP client (RFC 5321: greeting, HELO, MAIL, RCPT, DATA, QUIT; no extensions, no
// authentication) that sends reply mails over the main window's socket control. Each command
// waits for its reply through ReplyWait: the thread sleeps until an event comes (so the
// socket's data events reach Notify_DataArrival at once) and looks at the buffer after each,
// ended by the time-out, Cancel or a lost connection. No operation raises or shows anything: a
// refused, late or missing reply is a false result. Reply parsing and the DATA block are the plain
// functions of SMTPReply.h and SMTPData.h.
#include "platform/ReplyWait.h"

#include <QString>

class SocketControl;

class CSMTP {
  public:
    // Binds the client to its socket control (owned by the main window); time-out 10 s, a
    // look at the time-out every 50 ms.
    void Init(SocketControl& sock);
    // Closes the socket, connects to sHost at nPort (1 to 65535) and waits until connected:
    // true then, with sHostName = sHost. False, with the socket closed and the cancel
    // cleared, on a socket error, a port out of range, a cancel or the time-out. The greeting
    // is left for Sendmail.
    bool Connect(const QString& sHost, int nPort);
    // Sends QUIT, reads its reply (whatever it says) and closes the socket.
    void Quit();
    // The whole exchange for one message after Connect: the greeting must be positive, then
    // HELO sHostName, MAIL FROM sFrom, RCPT TO sTo and DATA, stopping at the first refusal.
    // After a refusal the server is sent QUIT; after a silence or a lost connection the
    // socket is closed at once. True only when the message was accepted.
    bool Sendmail(const QString& sFrom, const QString& sTo, const QString& sHead,
                  const QString& sBody);
    // "HELO " + sHost; false, sending nothing, when sHost holds CR, LF or NUL.
    bool CMD_HELO(const QString& sHost);
    // "MAIL FROM: <sFrom>" and "RCPT TO: <sTo>"; false, sending nothing, for an address that
    // IsSafeMailAddress refuses.
    bool CMD_MAIL_FROM(const QString& sFrom);
    bool CMD_RCPT_TO(const QString& sTo);
    // DATA; after its 354 the DataBlock of sHead and sBody; true when that is accepted.
    bool CMD_DATA(const QString& sHead, const QString& sBody);
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
    // Sends text as it is, then sends CR LF after line; send errors are ignored (the reply
    // that does not come tells). One pass of the event pump follows.
    void SendText(const QString& text);
    void SendLine(const QString& line);
    // Waits for one complete reply and takes it from the buffer, leaving what follows it. ""
    // when none came complete: time-out, cancel, lost connection or a reply past
    // MaxSMTPReplyLength (what did come is dropped).
    QString ReadResponse();
    bool IsConnected() const;
    // The end of a failed exchange: QUIT for a server that answered, otherwise just close.
    void EndAfterFailure();

    SocketControl* sock = nullptr;
    QString sHostName;      // of the last successful Connect; the HELO argument
    QString sRecvBuffer;    // arrived and not yet taken as a reply
    bool bAnswered = false; // the last wait took a complete reply
    ReplyWait wait;         // time-out, cancel and deadline of the waits
};

// The program's one SMTP client, created on first use.
CSMTP& SMTPClient();
