#pragma once
// What the two mailbox clients, POP3 and IMAP, share: the socket control they are bound to, the
// security of their next connection, the one wait discipline, and the way a connection refused
// for its certificate is reported.
#include "platform/ReplyWait.h"
#include "platform/TlsCheck.h"

#include <QString>

class SocketControl;

class MailboxConnection {
  public:
    // クラスの初期設定を行います。 Binds the socket control (owned by the main window);
    // time-out 10 s, poll period 10 ms.
    void Init(SocketControl& sock);
    // Closes the socket; harmless when it is closed.
    void SockClose();
    // サーバーとの通信処理をすべてキャンセルします。 Ends the current wait at its next poll.
    void Cancel();
    // タイムアウトを設定します。 Longest time, in seconds, that one wait may take.
    float TimeoutSecond() const { return wait.TimeoutSecond; }
    void TimeoutSecond(float nSecond) { wait.TimeoutSecond = nSecond; }
    // Sleep between two polls of a wait, in milliseconds; 0 or less: no sleep.
    int LoopWaitMS() const { return wait.LoopWaitMS; }
    void LoopWaitMS(int nMiliSecond) { wait.LoopWaitMS = nMiliSecond; }

    // The security of the next Connects (MailSecurity: none, STLS/STARTTLS, TLS from the
    // start) and the pinned certificate fingerprint (empty: the usual verification).
    void Security(int nSecurity, const QString& sPinnedFingerprint);
    // Why the last Connect failed for its security; empty when it did not.
    const QString& LastFailure() const { return lastFailure; }
    // The certificate check of the last handshake.
    const TlsCheck& Certificate() const;
    // Whether the connection to the server is open.
    bool IsConnected() const;

  protected:
    // Closes the socket and connects it to sHost at nPort, in TLS from the first byte when
    // the security asks for it, then waits as WaitConnected does.
    bool Open(const QString& sHost, int nPort, const QString& sServer);
    // Waits until the socket is connected (in TLS, once the handshake is done); a certificate
    // refused is a failure with its reason, naming the server's kind sServer ("POP3", "IMAP").
    bool WaitConnected(const QString& sServer);
    // The end of a Connect refused for its security: the reason logged and kept.
    bool Refused(const QString& sReason);

    SocketControl* sock = nullptr;
    int security = 0; // MailSecurity of the next Connect
    QString pinned;   // pinned fingerprint of the next Connect
    QString lastFailure;
    ReplyWait wait; // bCancel, TimeoutSecond, LoopWaitMS and the deadline of the waits
};
