#include "mailcheck/ReplyRateLimit.h"

#include "platform/Clock.h"

namespace {

// The address with its domain in ASCII lower case.
QString Key(const QString& sAddress) {
    QString key = sAddress;
    const qsizetype at = key.lastIndexOf(u'@');
    if (at < 0)
        return key;
    for (qsizetype i = at + 1; i < key.size(); ++i)
        if (key[i] >= u'A' && key[i] <= u'Z')
            key[i] = QChar(key[i].unicode() + 32);
    return key;
}

} // namespace

bool ReplyRateLimit::MayReply(const QString& sAddress, int nMaxPerHour) {
    if (nMaxPerHour <= 0)
        return true;
    DropExpired(SteadySeconds());
    return counts.value(Key(sAddress)) < nMaxPerHour;
}

void ReplyRateLimit::RecordReply(const QString& sAddress) {
    const double now = SteadySeconds();
    DropExpired(now);
    QString key = Key(sAddress);
    ++counts[key];
    replies.emplace_back(now, std::move(key));
}

qsizetype ReplyRateLimit::Count() {
    DropExpired(SteadySeconds());
    return static_cast<qsizetype>(replies.size());
}

void ReplyRateLimit::DropExpired(double now) {
    while (!replies.empty() && now - replies.front().first >= WindowSeconds) {
        const auto count = counts.find(replies.front().second);
        if (--count.value() == 0)
            counts.erase(count);
        replies.pop_front();
    }
}
