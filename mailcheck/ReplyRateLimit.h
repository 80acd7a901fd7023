#pragma once
// The limit on replies per sender: at most a number of replies to one address in any 60
// minutes, counted in memory for the program's run on the steady clock (platform/Clock.h).
// Addresses are compared as the accepted-address list compares them, whole and with the case
// of their local part, but with the domain (after the last "@") in ASCII lower case, since a
// domain names the same mailbox in any case.
#include <QHash>
#include <QString>
#include <deque>
#include <utility>

class ReplyRateLimit {
  public:
    // How long a reply counts against its address, in seconds.
    static constexpr double WindowSeconds = 3600;

    // True when one more reply to sAddress now keeps it within nMaxPerHour replies in the
    // last 60 minutes; always true for nMaxPerHour 0 (no limit) or below.
    bool MayReply(const QString& sAddress, int nMaxPerHour);
    // Counts a reply to sAddress sent now; call it only for a reply that went out, so that a
    // failed send does not use up the allowance.
    void RecordReply(const QString& sAddress);

    // The replies still counting, over all addresses: what the limit keeps in memory.
    qsizetype Count();

  private:
    // Forgets the replies that stopped counting; each is forgotten once, so the cost is
    // constant per reply over a run.
    void DropExpired(double now);

    std::deque<std::pair<double, QString>> replies; // oldest first: sent at, address
    QHash<QString, int> counts;                     // replies in replies per address
};
