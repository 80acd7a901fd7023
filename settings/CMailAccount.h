#pragma once
// The one mail account: the POP3 mailbox that requests arrive in and the SMTP server that
// replies leave through.
#include <QString>

struct CMailAccount {
    QString Name;     // a stored account must have one
    QString MailAddr; // the mailbox's own address: the envelope sender of replies
    QString UserName;
    QString Password; // clear text in memory; encrypted in the file
    QString POPHost;
    int POPPort = 110;
    QString SMTPHost;
    int SMTPPort = 25;
    int APOP = 0;     // 0 USER/PASS login, 1 APOP login
    int Timeout = 30; // seconds each client waits; not stored

    // The secure-mail settings; main.mla holds each only when it differs from its default.
    int POPSecurity = 0;        // 0 none, 1 STLS on the plain port, 2 TLS from the start
    int SMTPSecurity = 0;       // 0 none, 1 STARTTLS, 2 TLS from the start
    int SMTPAuth = 0;           // 0 none, 1 UserName and Password, 2 SMTPUserName and SMTPPassword
    QString SMTPUserName;       //
    QString SMTPPassword;       // clear text in memory; encrypted in the file as Password is
    QString POPCertificate;     // pinned SHA-256 fingerprint in hex; empty: the usual verification
    QString SMTPCertificate;    //
    int SMTPAuthWithoutTLS = 0; // 1: AUTH may go over a connection without TLS

    // The incoming protocol (POPHost, POPPort, POPSecurity and POPCertificate serve either);
    // main.mla holds each only when it differs from its default.
    int MailProtocol = 0;                         // 0 POP3, 1 IMAP
    QString IMAPFolder = QStringLiteral("INBOX"); // the folder requests arrive in
};

// The choices of MailProtocol.
enum MailProtocolChoice { ProtocolPOP3 = 0, ProtocolIMAP = 1 };

// The security choices of POPSecurity and SMTPSecurity.
enum MailSecurity { SecurityNone = 0, SecurityStartTls = 1, SecurityTls = 2 };
// The choices of SMTPAuth.
enum SmtpAuthChoice { AuthNone = 0, AuthAccountLogin = 1, AuthSmtpLogin = 2 };
