#pragma once
// A private SMTP server (aiosmtpd, run by Debian's Python) on 127.0.0.1 for tests and
// demonstrations. It stores every accepted message as a Maildir mail per recipient, with its
// envelope beside it, and is stopped when the object goes (or when the test program ends).
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

class SmtpServer {
  public:
    // One stored message and its envelope.
    struct StoredMail {
        QByteArray Message; // as received, the DATA transparency dots removed
        QString MailFrom;   // the MAIL FROM address
        QStringList RcptTos;
        QString Helo;     // the HELO or EHLO argument
        QString Login;    // the AUTH login the session used; empty without AUTH
        bool Tls = false; // the session ran in TLS
    };

    // What the server offers beyond plain SMTP.
    struct Offer {
        QString Tls;                 // "", "starttls" or "implicit"
        QString CertFile, KeyFile;   // the server's certificate chain and key, for Tls
        QStringList Users;           // "name:password" logins; none: no AUTH
        QStringList Mechanisms;      // the AUTH mechanisms offered; none: PLAIN and LOGIN
        bool AuthWithoutTls = false; // AUTH offered before STARTTLS too
        bool RefuseEhlo = false;     // EHLO answered 502: only HELO works
        QStringList RefusedRecipients;
        // "rcpt" or "data": the reply to that command of message HoldMessage (counted from
        // the start, over all sessions) is held back until the client has gone; the reply
        // to DATA after the message is stored.
        QString Hold;
        int HoldMessage = 1;
    };

    SmtpServer() = default;
    ~SmtpServer();
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    // Starts the server on a free port with an empty store; RCPT of a refusedRecipients
    // address is answered 550. False, with the reason and the server's messages in
    // retProblem, when it does not come up.
    bool Start(QString& retProblem, const QStringList& refusedRecipients = {});
    // As Start, with offer's TLS and AUTH.
    bool StartOffering(QString& retProblem, const Offer& offer);
    int Port() const { return port; }

    // The Maildir of recipient (new/ holds its mails), for a POP3 server or a reader.
    QString MaildirOf(const QString& recipient) const;
    // Whether the hold of the offer has begun.
    bool Holding() const;
    // The mails stored for recipient, in the order they came.
    std::vector<StoredMail> Mails(const QString& recipient) const;

  private:
    QTemporaryDir root;
    QProcess server;
    int port = 0;
};
