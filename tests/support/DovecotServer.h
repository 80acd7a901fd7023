#pragma once
// A private Dovecot POP3 server on 127.0.0.1 for tests: its own configuration, base folder,
// Maildir mailboxes and clear-text passwords, so that both USER/PASS and APOP logins work.
// It runs as root (mail access as the system user "mail") or as the calling user, and is
// stopped by its process id when the object goes.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <utility>
#include <vector>

class DovecotServer {
  public:
    using User = std::pair<QString, QString>; // name, password

    DovecotServer();
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // The dovecot program's path; empty when it is not installed.
    static QString Program();

    // Before Start: the server offers STLS on its plain port and TLS from the first byte on a
    // second port (TlsPort), with this certificate chain and key.
    void OfferTls(const QString& certFile, const QString& keyFile);
    // Before Start: the server speaks IMAP too, on ImapPort (STARTTLS there when it offers
    // TLS, and TLS from the first byte on ImapTlsPort). noIdle: without the IDLE capability.
    void OfferImap(bool noIdle = false) {
        imap = true;
        imapNoIdle = noIdle;
    }
    // Before Start: a message's X-UIDL header, when it has one, is its UIDL, so that a test
    // chooses the identifier the client sees.
    void ReuseXUidl() { reuseXUidl = true; }

    // Starts the server with one empty mailbox per user and waits until it greets; false,
    // with the reason (and the server's log) in retProblem, when it does not come up.
    bool Start(const std::vector<User>& users, QString& retProblem);
    int Port() const { return port; }
    int TlsPort() const { return tlsPort; }
    int ImapPort() const { return imapPort; }
    int ImapTlsPort() const { return imapTlsPort; }
    // Puts message into user's mailbox as a new mail; with maildirFlags (Maildir's letters,
    // "RS" for \Answered and \Seen) as an old mail that carries those flags.
    bool Deliver(const QString& user, const QByteArray& message,
                 const QByteArray& maildirFlags = {});
    // Empties user's mailbox and makes it anew, as deleting and creating a folder does: the
    // server numbers it with a new UIDVALIDITY. Only while no session has it open.
    bool RecreateMailbox(const QString& user);
    // The number of mails stored in user's mailbox.
    int StoredCount(const QString& user) const;
    // The mails stored in user's mailbox, as stored.
    std::vector<QByteArray> Stored(const QString& user) const;

  private:
    QString MaildirOf(const QString& user) const;
    QString Config() const;
    QString ImapConfig() const;
    bool WaitForGreeting();

    QTemporaryDir base{QStringLiteral("/tmp/dvc-XXXXXX")}; // short: socket paths are limited
    QProcess master;
    int port = 0;
    int tlsPort = 0;
    int imapPort = 0;
    int imapTlsPort = 0;
    bool imap = false;
    bool imapNoIdle = false;
    QString certFile, keyFile;
    bool asRoot;
    bool reuseXUidl = false;
    int delivered = 0;
};
