#pragma once
// What one mail check knows of ReceivedUidlList: a hash of its identifiers, so that each seen
// message costs one lookup, and the changes the check makes to it. The list holds the
// identifier of every message a check carried to a conclusion, so that none is answered twice.
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class ReceivedUidls {
  public:
    // Takes the identifiers of list (absent: none).
    explicit ReceivedUidls(const std::optional<QStringList>& list);

    // True when uid (exact, case-sensitive) is not among the identifiers.
    bool IsNewUidl(const QString& uid) const;
    // Adds uid; nothing when it is there already or empty.
    void Conclude(const QString& uid);
    // Takes uid out again; nothing when it is not there.
    void Forget(const QString& uid);
    // Drops the identifiers that serverList (indexed by message number, gaps empty) no longer
    // holds, so that the list stays as long as the mailbox.
    void KeepOnly(const QStringList& serverList);

    // Whether Conclude or KeepOnly changed anything since the last Written().
    bool Changed() const { return changed; }
    // The list to store: the identifiers in the order they came, absent when there are none
    // and there were none before.
    std::optional<QStringList> List() const;
    void Written() { changed = false; }

  private:
    QStringList order;
    QSet<QString> known;
    bool wasPresent;
    bool changed = false;
};
