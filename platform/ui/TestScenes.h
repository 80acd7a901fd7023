#pragma once
// The scenes of the test camera: one room, seen as a camera sees it, with what happens in it
// as a function of the frame number at TestSceneFramesPerSecond. Each frame carries a sensor's
// noise drawn from its number, so that the same number always gives the same picture.
#include <QImage>
#include <QSize>

enum TestScene {
    TestScenePattern = 0,    // no scene: the test pattern
    TestSceneStillRoom,      // nothing happens; only the noise changes
    TestSceneObjectCrossing, // a dark shape comes in, stops a moment and goes out of the door
    TestSceneLight,          // the lamp is switched off and on again and again
    TestSceneExposureDrift,  // the brightness creeps up and down
    TestSceneShadow,         // a soft shadow moves slowly across the room and back
    TestSceneFrozen,         // the stream repeats its first frame
    TestSceneMotion,         // a dark shape walks to and fro all the time
};
constexpr int TestSceneCount = 8;

constexpr int TestSceneFramesPerSecond = 30;
// The crossing: a shape walks in at the left edge from frame TestSceneObjectEnters, stands
// whole in the middle of its way from TestSceneObjectStops, walks on from
// TestSceneObjectWalksOn and is gone through the door a third of the way across at
// TestSceneObjectLeaves. It is wholly in the picture from two thirds of the way in to one
// third of the way out.
constexpr int TestSceneObjectEnters = 60;
constexpr int TestSceneObjectStops = 105;
constexpr int TestSceneObjectWalksOn = 140;
constexpr int TestSceneObjectLeaves = 185;
// The lamp is on for the first TestSceneLightSwitchFrames frames, off for as many, and so on;
// off, the room has TestSceneDimLight of its light, while the daylight in the window stays.
constexpr int TestSceneLightSwitchFrames = 90;
constexpr double TestSceneDimLight = 0.5;
// The exposure's whole swing, from normal up to 30 % brighter, down to 30 % darker and back.
constexpr int TestSceneDriftFrames = 300;
// The shadow's edge takes this many frames from the left edge to the right, and as many back.
constexpr int TestSceneShadowFrames = 900;
// The walker of TestSceneMotion goes from the left edge to the right in this many frames,
// and back in as many.
constexpr int TestSceneMotionFrames = 90;

// Frame frameNumber of scene (1 to TestSceneCount - 1) at size, in RGB888.
QImage TestScenePicture(const QSize& size, int frameNumber, int scene);
// The still room with frame frameNumber's noise under the lamp's light (1 the room's own, the
// lamp scene switches to TestSceneDimLight), for the runs that script the lamp themselves.
QImage TestRoomPicture(const QSize& size, int frameNumber, double light);
