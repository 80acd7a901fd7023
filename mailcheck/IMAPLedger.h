#pragma once
// The IMAP entries of ReceivedUidlList: a folder's messages by UIDVALIDITY and UID, for the
// moment between a reply's message data and its \Answered flag, and for the messages passed
// over on a server that keeps no keywords. One entry a line: the kind, the UIDVALIDITY, the UID
// and the folder, separated by single blanks.
#include <QList>
#include <QString>
#include <QStringList>

enum class LedgerKind {
    Replying, // the reply's message data went out; \Answered is not yet set
    Skipped,  // passed over for good where no keyword could mark it
};

QString LedgerEntry(LedgerKind kind, quint32 uidValidity, quint32 uid, const QString& folder);

// Reads an entry; false for a POP3 identifier or anything else that is no ledger entry.
bool ReadLedgerEntry(const QString& entry, LedgerKind& retKind, quint32& retUidValidity,
                     quint32& retUid, QString& retFolder);

// The entries of folder that go: those of another UIDVALIDITY (the server numbers the folder
// anew, and its flags are the truth), and those of a UID no longer among pending (answered,
// marked, deleted or gone).
QStringList StaleLedgerEntries(const QStringList& list, const QString& folder, quint32 uidValidity,
                               const QList<quint32>& pending);
