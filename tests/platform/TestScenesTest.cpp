#include "platform/ui/TestScenes.h"

#include <gtest/gtest.h>

namespace {

const QSize Size(160, 120);

// The mean grey of a block of the picture, given in fractions of its width and height.
double MeanGrey(const QImage& picture, double left, double top, double right, double bottom) {
    double sum = 0;
    int count = 0;
    for (int y = int(top * picture.height()); y < int(bottom * picture.height()); ++y)
        for (int x = int(left * picture.width()); x < int(right * picture.width()); ++x, ++count)
            sum += qGray(picture.pixel(x, y));
    return sum / count;
}

} // namespace

TEST(TestScenes, ScenesDifferFromTheStillRoomOnlyWhileSomethingHappens) {
    const int walk = TestSceneObjectLeaves - TestSceneObjectEnters;
    const struct {
        int scene;
        int frame;
        bool same;
    } cases[] = {
        {TestSceneObjectCrossing, TestSceneObjectEnters - 1, true},
        {TestSceneObjectCrossing, TestSceneObjectEnters + walk / 2, false},
        {TestSceneObjectCrossing, TestSceneObjectLeaves, true},
        {TestSceneLight, TestSceneLightSwitchFrames - 1, true},
        {TestSceneLight, TestSceneLightSwitchFrames, false},
        {TestSceneLight, 2 * TestSceneLightSwitchFrames, true},
        {TestSceneExposureDrift, 0, true},
        {TestSceneExposureDrift, TestSceneDriftFrames / 4, false},
        {TestSceneExposureDrift, TestSceneDriftFrames, true},
        {TestSceneShadow, 0, true},
        {TestSceneShadow, TestSceneShadowFrames / 2, false},
        {TestSceneFrozen, 0, true},
        {TestSceneFrozen, 1, false}, // the noise of frame 0, not of frame 1
        {TestSceneMotion, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TestScenePicture(Size, c.frame, c.scene) ==
                      TestScenePicture(Size, c.frame, TestSceneStillRoom),
                  c.same)
            << c.scene << " at " << c.frame;
}

TEST(TestScenes, AFrameIsDrawnFromItsNumberAlone) {
    for (int scene = TestSceneStillRoom; scene < TestSceneCount; ++scene)
        EXPECT_EQ(TestScenePicture(Size, 77, scene), TestScenePicture(Size, 77, scene)) << scene;
    EXPECT_EQ(TestScenePicture(Size, 5, TestSceneFrozen),
              TestScenePicture(Size, 900, TestSceneFrozen));
    const QImage first = TestScenePicture(Size, 1, TestSceneStillRoom);
    const QImage second = TestScenePicture(Size, 2, TestSceneStillRoom);
    EXPECT_NE(first, second);
    EXPECT_NEAR(MeanGrey(first, 0, 0, 1, 1), MeanGrey(second, 0, 0, 1, 1), 0.5);
}

TEST(TestScenes, TheLampDimsTheRoomButNotTheDaylightInTheWindow) {
    const QImage on = TestRoomPicture(Size, 3, 1);
    const QImage off = TestRoomPicture(Size, 3, TestSceneDimLight);
    EXPECT_EQ(TestScenePicture(Size, TestSceneLightSwitchFrames + 3, TestSceneLight),
              TestRoomPicture(Size, TestSceneLightSwitchFrames + 3, TestSceneDimLight));
    const double wall = MeanGrey(off, 0.4, 0.05, 0.55, 0.5) / MeanGrey(on, 0.4, 0.05, 0.55, 0.5);
    EXPECT_NEAR(wall, TestSceneDimLight, 0.02);
    EXPECT_NEAR(MeanGrey(off, 0.62, 0.14, 0.7, 0.25), MeanGrey(on, 0.62, 0.14, 0.7, 0.25), 1);
}
