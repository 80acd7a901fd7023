#include "motion/MotionDetector.h"

#include "platform/ui/TestCaptureDriver.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const QSize FrameSize(320, 240);

qint64 TimeOf(int frame) {
    return qint64(frame) * 1000 / TestSceneFramesPerSecond;
}

// Feeds frames [from, to) of scene as the camera would deliver them, with their times.
std::vector<MotionEvent> Feed(MotionDetector& detector, int scene, int from, int to) {
    TestPictureSettings settings;
    settings.scene = scene;
    std::vector<MotionEvent> events;
    for (int frame = from; frame < to; ++frame) {
        MotionEvent event;
        if (detector.Feed(TestCapturePicture(FrameSize, frame, settings), TimeOf(frame), event))
            events.push_back(event);
    }
    return events;
}

// The number of the crossing's frame that picture shows, or -1.
int CrossingFrameOf(const QImage& picture) {
    for (int frame = TestSceneObjectEnters; frame < TestSceneObjectLeaves; ++frame)
        if (TestScenePicture(FrameSize, frame, TestSceneObjectCrossing) == picture)
            return frame;
    return -1;
}

} // namespace

TEST(MotionDetector, EachSceneGivesItsEvents) {
    const int afterCrossing = TestSceneObjectLeaves + 300;
    const struct {
        const char* scene;
        int number;
        int sensitivity;
        int frames;
        size_t events;
    } cases[] = {
        {"still room", TestSceneStillRoom, 100, 600, 0},
        {"crossing", TestSceneObjectCrossing, 50, afterCrossing, 1},
        {"crossing", TestSceneObjectCrossing, 100, afterCrossing, 1},
        // One event although the shape stands still on its way, long enough for the background
        // to take it in. It covers a tenth of the picture; the least sensitive level wants 30 %.
        {"crossing", TestSceneObjectCrossing, 1, afterCrossing, 0},
        {"lamp", TestSceneLight, 100, 8 * TestSceneLightSwitchFrames, 0},
        {"exposure drift", TestSceneExposureDrift, 100, 2 * TestSceneDriftFrames, 0},
        {"shadow", TestSceneShadow, 100, TestSceneShadowFrames, 0},
        {"frozen", TestSceneFrozen, 100, 300, 0},
        // Reported again every ten seconds while it goes on: 35 seconds give three reports.
        {"continuous motion", TestSceneMotion, 50, 35 * TestSceneFramesPerSecond, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scene << " at sensitivity " << c.sensitivity);
        MotionDetector detector(c.sensitivity);
        const std::vector<MotionEvent> events = Feed(detector, c.number, 0, c.frames);
        EXPECT_EQ(events.size(), c.events);
        for (const MotionEvent& event : events) {
            EXPECT_EQ(event.picture.size(), FrameSize);
            EXPECT_GT(event.share, 0);
            EXPECT_LE(event.share, 1);
        }
    }
}

TEST(MotionDetector, TheCrossingIsReportedWithAFrameThatShowsTheWholeShape) {
    // The shape is whole from two thirds of its way in to a third of its way out; the first
    // changed frame shows only its edge.
    const int wholeFrom =
        TestSceneObjectEnters + 2 * (TestSceneObjectStops - TestSceneObjectEnters) / 3;
    const int wholeTo =
        TestSceneObjectWalksOn + (TestSceneObjectLeaves - TestSceneObjectWalksOn) / 3;
    for (int sensitivity : {50, 100}) {
        MotionDetector detector(sensitivity);
        const std::vector<MotionEvent> events =
            Feed(detector, TestSceneObjectCrossing, 0, TestSceneObjectLeaves + 300);
        ASSERT_EQ(events.size(), 1u) << sensitivity;
        const int shown = CrossingFrameOf(events[0].picture);
        EXPECT_GE(shown, wholeFrom) << sensitivity;
        EXPECT_LE(shown, wholeTo) << sensitivity;
        EXPECT_GE(events[0].startMs, TimeOf(TestSceneObjectEnters)) << sensitivity;
        EXPECT_LT(events[0].startMs, TimeOf(wholeFrom)) << sensitivity;
    }
}

TEST(MotionDetector, IgnoredFramesOnlyRebuildTheBackground) {
    // The whole crossing falls in the ignored time, as after a reconnect of the camera.
    MotionDetector detector;
    detector.IgnoreUntil(TimeOf(TestSceneObjectLeaves));
    EXPECT_TRUE(Feed(detector, TestSceneObjectCrossing, 0, TestSceneObjectLeaves + 300).empty());
}

TEST(MotionDetector, IgnoringDropsTheEventInProgress) {
    MotionDetector detector;
    const int dropAt = TestSceneObjectStops; // the shape is well inside
    EXPECT_TRUE(Feed(detector, TestSceneObjectCrossing, 0, dropAt).empty());
    detector.IgnoreUntil(TimeOf(dropAt));
    // What is left of the crossing is an event of its own, from the time ignoring ended.
    const std::vector<MotionEvent> events =
        Feed(detector, TestSceneObjectCrossing, dropAt, TestSceneObjectLeaves + 300);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_GE(events[0].startMs, TimeOf(dropAt));
    EXPECT_GE(CrossingFrameOf(events[0].picture), dropAt);
}

TEST(MotionDetector, SensitivityIsClampedToOneToAHundred) {
    const struct {
        int given;
        int used;
    } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {50, 50}, {100, 100}, {101, 100}, {1000, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(MotionDetector(c.given).Sensitivity(), c.used) << c.given;
        MotionDetector detector(50);
        detector.SetSensitivity(c.given);
        EXPECT_EQ(detector.Sensitivity(), c.used) << c.given;
    }
}
