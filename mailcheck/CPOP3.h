#pragma once
// The POP3 client (RFC 1939 with APOP) that reads the mailbox over the main window's socket
// control. Each operation sends one command and waits for its reply while the GUI thread
// pumps events, so the socket's data events reach Notify_DataArrival. No operation raises an
// error or shows a message: a refused, late or missing reply is a false result, and so is a
// command whose argument is not one line, which is never sent.
#include "mailcheck/MailboxConnection.h"
#include "mailcheck/POP3Reply.h"

#include <QString>
#include <QStringList>

class CPOP3 : public MailboxConnection {
  public:
    // サーバーに接続します。 Connects and reads the greeting; retChallenge is its APOP time
    // stamp (empty when it has none). With STLS (RFC 2595) the client then sends STLS and, on
    // +OK, runs the handshake; the login follows inside TLS. True once connected (and in TLS
    // when asked), whatever the greeting says; false on a socket error, a cancel or the
    // time-out (the caller then calls SockClose). A refused certificate or a refused STLS is
    // false too, never a plain-text session, and its reason goes to the activity log and to
    // LastFailure.
    bool Connect(const QString& sHost, int nPort, QString& retChallenge);
    // サーバーに通常ログインします。 USER, then PASS only when USER was accepted. Takes a late
    // greeting first, as Login2 does.
    bool Login(const QString& sUser, const QString& sPass);
    // サーバーにAPOPログインします。 Takes the greeting first when Connect had none (waiting for
    // it) or a line already pending, then sends APOP with sDigest in lower case.
    bool Login2(const QString& sUser, const QString& sDigest);
    // False once a reply did not come whole (a time-out, a cancel, a lost connection) or was no
    // POP3 status line (IsStatusReply): a later reply could then be an earlier command's, so
    // the session can only be ended, without QUIT. A greeting that a login takes late puts the
    // session back in step; Connect starts in step.
    bool InStep() const { return inStep; }
    // サーバーからログオフします。 Sends QUIT, reads its reply and closes the socket. True when
    // the server answered +OK: only then are the messages marked by DELE gone (RFC 1939's
    // UPDATE state).
    bool Quit();

    // サーバーにあるメールの一覧を返します。 Message sizes indexed by message number; with
    // id > 0 only that message's entry.
    bool CMD_LIST(QStringList& retvarList, int id);
    // サーバーから指定したメールのヘッダと本文を一度に返します。 The whole message up to and
    // including the closing "." line, dot-stuffed lines as received.
    bool CMD_RETR(int id, QString& retData);
    // サーバーのメールの総数とバイト数を返します。
    bool CMD_STAT(int& retCount, int& retBytes);
    // ログイン後、サーバーにDELE命令で削除対象になったメールを解除します。
    bool CMD_RESET();
    // サーバーの応答を確認します。
    bool CMD_NOOP();
    // サーバーから指定したメールのヘッダと指定した行数の本文を返します。 As CMD_RETR.
    bool CMD_TOP(int id, int nLine, QString& retData);
    // サーバーから削除するメールを選択します。QUIT命令後、選択されたメールは削除されます。
    bool CMD_DELE(int id);
    // サーバーのX-UIDLの一覧を返します。 Unique ids indexed by message number; with id > 0
    // only that message's entry.
    bool CMD_UIDL(QStringList& retList, int id);
    // Whether the last whole-list LIST or UIDL read every line of its reply (ReadListReply's
    // retWhole): only such a list tells which messages the server holds.
    bool ListWasWhole() const { return listWhole; }

    // WinsockのDataArrivalイベントでGetDataメソッドでデータを受信して引数に受信したデータを
    // 入れて呼び出してください。 Appends text to the receive buffer.
    void Notify_DataArrival(const QString& text);
    // Sleeps one poll period.
    void Wait() const { wait.Wait(); }

  private:
    // Sends command and CR LF (socket errors ignored; the read that follows notices), pumps
    // once. False, sending nothing, when command is not one line (IsOneLine).
    bool SendLine(const QString& command);
    // Waits for one reply and takes it from the buffer: the complete reply when it came,
    // otherwise whatever arrived before the time-out, cancel or disconnect. A reply that
    // passes MaxReplyLength without completing gives "" and closes the connection.
    QString ReadResponse(ReplyMode mode);
    // Takes a greeting that came after Connect had given up on it, so that it is not read as
    // the reply to the login's first command.
    void TakeLateGreeting();
    bool ReadData(QString& retData);
    bool ReadList(QStringList& retList);
    // LIST or UIDL: the whole list, or with id > 0 the one entry.
    bool ListCommand(const QString& command, int id, QStringList& retList);

    QString sRecvBuffer;
    bool greetingTaken = false; // Connect read the whole greeting
    bool inStep = true;         // every reply so far came whole and readable
    bool listWhole = false;     // the last whole list was read to its end
};

// The program's one POP3 client.
CPOP3& POP3Client();
