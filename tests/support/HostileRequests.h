#pragma once
// Request mails written to hurt the mail check: huge headers, huge or broken values, junk
// bytes, broken and endless encoded words, and identifiers of the longest allowed length and
// longer. Each comes from the accepted sender bob@example.net to cam@example.com unless its
// From is what it attacks; the test of the check and its bench share them.
#include <QByteArray>
#include <QString>
#include <vector>

struct HostileRequest {
    const char* Name;
    QByteArray Message;   // the whole mail as it is stored in the mailbox
    bool Answered;        // a request of an accepted sender with an odd header: answered once
    QString Verdict;      // the log line that tells what became of it
    QByteArray Uidl = {}; // with the server reusing X-UIDL: the identifier the client sees
};

// The cases, in the order a test delivers them.
std::vector<HostileRequest> HostileRequests();

// A plain request of bob@example.net with subject, to follow each hostile one.
QByteArray GoodRequest(const QByteArray& subject);
