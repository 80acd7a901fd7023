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
};
