#include "mailcheck/ReplyRateLimit.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

const QString Alice = QStringLiteral("alice@example.com");
const QString Bob = QStringLiteral("bob@example.com");

// Moves the fake clock on by whole seconds.
void Wait(FakeClock& clock, int seconds) {
    clock.Sleep(seconds * 1000);
}

} // namespace

TEST(ReplyRateLimit, AtMostNRepliesPerAddressInAnySixtyMinutes) {
    FakeClock clock;
    ReplyRateLimit limit;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(limit.MayReply(Alice, 3)) << i;
        limit.RecordReply(Alice);
        Wait(clock, 600); // at 0, 10 and 20 minutes
    }
    EXPECT_FALSE(limit.MayReply(Alice, 3));
    EXPECT_TRUE(limit.MayReply(Bob, 3)); // every address has its own count
    EXPECT_TRUE(limit.MayReply(Alice, 4));

    // At 59:59 after the first reply it still counts; at 60:00 it no longer does.
    Wait(clock, 3600 - 1800 - 1);
    EXPECT_FALSE(limit.MayReply(Alice, 3));
    Wait(clock, 1);
    EXPECT_TRUE(limit.MayReply(Alice, 3));
    limit.RecordReply(Alice);
    EXPECT_FALSE(limit.MayReply(Alice, 3)); // the window slides: 10, 20 and 60 minutes
    Wait(clock, 600);
    EXPECT_TRUE(limit.MayReply(Alice, 3));
}

TEST(ReplyRateLimit, OnlyRecordedRepliesCountAndZeroIsNoLimit) {
    FakeClock clock;
    ReplyRateLimit limit;
    // Asking does not use up the allowance: a send that failed is not recorded.
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(limit.MayReply(Alice, 1));
    limit.RecordReply(Alice);
    EXPECT_FALSE(limit.MayReply(Alice, 1));
    // No limit, whatever was recorded; a limit below 0 means none either.
    for (int i = 0; i < 50; ++i)
        limit.RecordReply(Alice);
    EXPECT_TRUE(limit.MayReply(Alice, 0));
    EXPECT_TRUE(limit.MayReply(Alice, -5));
    // Replies sent while there was no limit count once one is set.
    EXPECT_FALSE(limit.MayReply(Alice, 51));
    EXPECT_TRUE(limit.MayReply(Alice, 52));
}

TEST(ReplyRateLimit, TheDomainIsComparedWithoutCaseTheLocalPartWithIt) {
    FakeClock clock;
    ReplyRateLimit limit;
    limit.RecordReply(QStringLiteral("Alice@Example.COM"));
    EXPECT_FALSE(limit.MayReply(QStringLiteral("Alice@example.com"), 1));
    EXPECT_FALSE(limit.MayReply(QStringLiteral("Alice@EXAMPLE.com"), 1));
    EXPECT_TRUE(limit.MayReply(QStringLiteral("alice@example.com"), 1));
    EXPECT_TRUE(limit.MayReply(QStringLiteral("Alice@example.com "), 1)); // whole text
    // Only the part after the last "@" is the domain; a text without one is compared whole.
    limit.RecordReply(QStringLiteral("\"a@B\"@Example.com"));
    EXPECT_FALSE(limit.MayReply(QStringLiteral("\"a@B\"@example.com"), 1));
    EXPECT_TRUE(limit.MayReply(QStringLiteral("\"a@b\"@example.com"), 1));
    limit.RecordReply(QStringLiteral("NoDomain"));
    EXPECT_FALSE(limit.MayReply(QStringLiteral("NoDomain"), 1));
    EXPECT_TRUE(limit.MayReply(QStringLiteral("nodomain"), 1));
}

TEST(ReplyRateLimit, MemoryHoldsOnlyTheLastHour) {
    FakeClock clock;
    ReplyRateLimit limit;
    // A reply a second to a new address each time, for three hours.
    for (int i = 0; i < 3 * 3600; ++i) {
        limit.RecordReply(QStringLiteral("sender%1@example.com").arg(i));
        Wait(clock, 1);
        ASSERT_LE(limit.Count(), 3600) << i;
    }
    EXPECT_EQ(limit.Count(), 3599); // the reply of exactly an hour ago has gone
    EXPECT_TRUE(limit.MayReply(QStringLiteral("sender0@example.com"), 1));
    EXPECT_FALSE(limit.MayReply(QStringLiteral("sender10799@example.com"), 1));
    Wait(clock, 3600);
    EXPECT_EQ(limit.Count(), 0);
    EXPECT_TRUE(limit.MayReply(QStringLiteral("sender10799@example.com"), 1));
}
