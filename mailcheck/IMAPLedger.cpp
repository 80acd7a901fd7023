#include "mailcheck/IMAPLedger.h"

#include <QSet>

namespace {

const QString Replying = QStringLiteral("imap-replying");
const QString Skipped = QStringLiteral("imap-skipped");

} // namespace

QString LedgerEntry(LedgerKind kind, quint32 uidValidity, quint32 uid, const QString& folder) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(kind == LedgerKind::Replying ? Replying : Skipped)
        .arg(uidValidity)
        .arg(uid)
        .arg(folder);
}

bool ReadLedgerEntry(const QString& entry, LedgerKind& retKind, quint32& retUidValidity,
                     quint32& retUid, QString& retFolder) {
    const QStringList fields = entry.split(u' ');
    if (fields.size() < 4 || (fields[0] != Replying && fields[0] != Skipped))
        return false;
    bool validityRead = false, uidRead = false;
    const quint32 validity = fields[1].toUInt(&validityRead);
    const quint32 uid = fields[2].toUInt(&uidRead);
    if (!validityRead || !uidRead || validity == 0 || uid == 0)
        return false;
    retKind = fields[0] == Replying ? LedgerKind::Replying : LedgerKind::Skipped;
    retUidValidity = validity;
    retUid = uid;
    retFolder = entry.section(u' ', 3);
    return true;
}

QStringList StaleLedgerEntries(const QStringList& list, const QString& folder, quint32 uidValidity,
                               const QList<quint32>& pending) {
    const QSet<quint32> waiting(pending.begin(), pending.end());
    QStringList stale;
    for (const QString& entry : list) {
        LedgerKind kind;
        quint32 validity = 0, uid = 0;
        QString entryFolder;
        if (ReadLedgerEntry(entry, kind, validity, uid, entryFolder) && entryFolder == folder &&
            (validity != uidValidity || !waiting.contains(uid)))
            stale << entry;
    }
    return stale;
}
