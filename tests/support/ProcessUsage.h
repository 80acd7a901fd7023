#pragma once
// What the running process holds: its resident memory and its open descriptors, read from
// /proc, for the soaks that check that neither grows.
#include <QDir>
#include <QFile>
#include <QList>

// Under AddressSanitizer freed memory is held back in quarantine, so the resident memory grows
// with any churn and tells nothing of a leak.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ResidentMemoryShowsGrowth = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool ResidentMemoryShowsGrowth = false;
#else
constexpr bool ResidentMemoryShowsGrowth = true;
#endif
#else
constexpr bool ResidentMemoryShowsGrowth = true;
#endif

inline double ResidentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / 1e6 : 0;
}

inline int OpenDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                   .size());
}
