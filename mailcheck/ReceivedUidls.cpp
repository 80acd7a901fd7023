#include "mailcheck/ReceivedUidls.h"

ReceivedUidls::ReceivedUidls(const std::optional<QStringList>& list)
    : order(list.value_or(QStringList())), known(order.begin(), order.end()),
      wasPresent(list.has_value()) {}

bool ReceivedUidls::IsNewUidl(const QString& uid) const {
    return !known.contains(uid);
}

void ReceivedUidls::Conclude(const QString& uid) {
    if (uid.isEmpty() || known.contains(uid))
        return;
    known.insert(uid);
    order.append(uid);
    changed = true;
}

void ReceivedUidls::Forget(const QString& uid) {
    if (!known.remove(uid))
        return;
    order.removeOne(uid);
    changed = true;
}

void ReceivedUidls::KeepOnly(const QStringList& serverList) {
    const QSet<QString> onServer(serverList.begin(), serverList.end());
    const qsizetype before = order.size();
    order.removeIf([&onServer](const QString& uid) { return !onServer.contains(uid); });
    if (order.size() == before)
        return;
    known = QSet<QString>(order.begin(), order.end());
    changed = true;
}

std::optional<QStringList> ReceivedUidls::List() const {
    if (order.isEmpty() && !wasPresent)
        return std::nullopt;
    return order;
}
