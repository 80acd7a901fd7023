#include "app/Form1.h"
#include "settings/ProgramObjects.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ScratchProgramFolder.h"

#include <gtest/gtest.h>

namespace {

// A started main window whose mail check only counts its runs and can act while it "waits".
struct TimerFixture : testing::Test {
    ScratchProgramFolder folder;
    MsgBoxRecorder boxes;
    int checks = 0;
    std::function<void()> duringCheck;
    Form1 form{[this] {
        ++checks;
        if (duringCheck)
            duringCheck();
    }};

    void Tick(int times) {
        for (int i = 0; i < times; ++i)
            form.tmrMailCheck_Timer();
    }
    void SetUp() override {
        ASSERT_TRUE(folder.CopyBuiltLibraries());
        ASSERT_TRUE(form.Form_Load());
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(form.MailCheckCount(), 0);
    }
    void TearDown() override { MailCheckInterval = 5; }
};

} // namespace

TEST_F(TimerFixture, IntervalOneChecksAtEveryTick) {
    MailCheckInterval = 1;
    Tick(3);
    EXPECT_EQ(checks, 3);
    EXPECT_EQ(form.MailCheckCount(), 0);
}

TEST_F(TimerFixture, IntervalFiveChecksAtTheFifthTickAndCountsAgainAfterwards) {
    MailCheckInterval = 5;
    Tick(4);
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(form.MailCheckCount(), 4);
    Tick(1);
    EXPECT_EQ(checks, 1);
    Tick(4);
    EXPECT_EQ(checks, 1);
    Tick(1);
    EXPECT_EQ(checks, 2);
}

TEST_F(TimerFixture, TicksDuringACheckAreDropped) {
    MailCheckInterval = 2;
    duringCheck = [this] { Tick(7); };
    Tick(2);
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(form.MailCheckCount(), 0);
    duringCheck = nullptr;
    Tick(1);
    EXPECT_EQ(checks, 1);
    Tick(1);
    EXPECT_EQ(checks, 2);
}

TEST_F(TimerFixture, CountSurvivesADialogsStopAndStart) {
    MailCheckInterval = 5;
    form.MailCheck_BeginTimer();
    Tick(3);
    form.MailCheck_StopTimer();
    EXPECT_FALSE(form.MailCheckTimerEnabled());
    form.MailCheck_BeginTimer();
    EXPECT_TRUE(form.MailCheckTimerEnabled());
    EXPECT_EQ(form.MailCheckCount(), 3);
    Tick(1);
    EXPECT_EQ(checks, 0);
    Tick(1);
    EXPECT_EQ(checks, 1);
}

TEST_F(TimerFixture, MenuCheckRunsAtOnceAndLeavesTheCountAlone) {
    MailCheckInterval = 5;
    Tick(2);
    form.mnuTest_MailCheck_Click();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(form.MailCheckCount(), 2);
}

TEST_F(TimerFixture, MenuCommandDuringATimerCheckStartsNoSecondCheck) {
    MailCheckInterval = 1;
    duringCheck = [this] { form.mnuTest_MailCheck_Click(); };
    Tick(1);
    EXPECT_EQ(checks, 1);
}

TEST_F(TimerFixture, DueTickDuringAMenuCheckWaitsForItToEnd) {
    MailCheckInterval = 2;
    Tick(1);
    duringCheck = [this] { Tick(3); };
    form.mnuTest_MailCheck_Click();
    EXPECT_EQ(checks, 1); // no second check while the menu's one ran
    duringCheck = nullptr;
    Tick(1);
    EXPECT_EQ(checks, 2); // the one that fell due runs at the next tick
    EXPECT_EQ(form.MailCheckCount(), 0);
}
