#include "platform/ui/TestScenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

// The noise of each colour channel lies within plus or minus this, most of it near 0, as a
// camera's does in a lit room (a spread of about 5 levels).
constexpr int NoiseReach = 12;
constexpr double DriftSwing = 0.3;
constexpr double ShadowDepth = 0.4;     // the shadow takes this share of the light
constexpr double ShadowSoftness = 0.25; // the width of its edge, in picture widths
constexpr double DoorAt = 1.0 / 3;      // the door the crossing shape goes out through
constexpr double CrossingWidth = 1.0 / 6;
constexpr double WalkerWidth = 1.0 / 8;
constexpr double FigureTop = 0.2, FigureBottom = 0.9;

struct Colour {
    float red, green, blue;
    bool daylight = false; // the sky in the window, which no lamp or shadow of the room changes
};

// What one frame shows, in fractions of the picture's width and height.
struct View {
    int noiseFrame = 0;
    double lamp = 1;                        // the room's light; the window's stays
    double exposure = 1;                    // the camera's: everything in the picture
    double shadowEdge = -1;                 // the shadow falls left of it; none left of 0
    double figureLeft = 0, figureRight = 0; // a dark figure between them, none when empty
};

bool Inside(double value, double from, double to) {
    return value >= from && value < to;
}

// The room: a wall with a picture, a window and a door, a table and a floor of boards.
Colour RoomColour(double u, double v) {
    if (v >= 0.7) {
        const bool seam = std::fmod(u * 10 + v * 3, 1.0) < 0.06;
        return seam ? Colour{70, 55, 45} : Colour{120, 95, 72};
    }
    if (Inside(u, DoorAt, DoorAt + 0.02) || (Inside(u, 0.45, 0.75) && Inside(v, 0.55, 0.6)))
        return {95, 65, 45}; // door frame, table top
    if (Inside(v, 0.6, 0.7) && (Inside(u, 0.46, 0.48) || Inside(u, 0.72, 0.74)))
        return {95, 65, 45}; // table legs
    if (Inside(u, 0.6, 0.85) && Inside(v, 0.12, 0.42)) {
        const bool bar = Inside(u, 0.72, 0.73) || Inside(v, 0.265, 0.275);
        return bar ? Colour{80, 75, 70} : Colour{165, 195, 225, true};
    }
    if (Inside(u, 0.1, 0.25) && Inside(v, 0.2, 0.4))
        return {70, 110, 85};
    const float shade = float(0.9 + 0.15 * v);
    return {175 * shade, 165 * shade, 145 * shade};
}

double Triangle(int frame, int half) {
    const int phase = frame % (2 * half);
    return phase < half ? double(phase) / half : 2 - double(phase) / half;
}

View ViewOf(int frame, int scene) {
    View view;
    view.noiseFrame = scene == TestSceneFrozen ? 0 : frame;
    switch (scene) {
    case TestSceneObjectCrossing:
        if (frame >= TestSceneObjectEnters && frame < TestSceneObjectLeaves) {
            const double walked = frame < TestSceneObjectStops
                                      ? 0.5 * (frame - TestSceneObjectEnters) /
                                            (TestSceneObjectStops - TestSceneObjectEnters)
                                      : 0.5 + 0.5 * std::max(0, frame - TestSceneObjectWalksOn) /
                                                  (TestSceneObjectLeaves - TestSceneObjectWalksOn);
            const double left = -CrossingWidth + (DoorAt + CrossingWidth) * walked;
            view.figureLeft = std::max(0.0, left);
            view.figureRight = std::min(DoorAt, left + CrossingWidth);
        }
        break;
    case TestSceneLight:
        view.lamp = (frame / TestSceneLightSwitchFrames) % 2 == 0 ? 1 : TestSceneDimLight;
        break;
    case TestSceneExposureDrift:
        view.exposure =
            1 + DriftSwing * std::sin(2 * std::numbers::pi * frame / TestSceneDriftFrames);
        break;
    case TestSceneShadow:
        view.shadowEdge = (1 + ShadowSoftness) * Triangle(frame, TestSceneShadowFrames);
        break;
    case TestSceneMotion:
        view.figureLeft = (1 - WalkerWidth) * Triangle(frame, TestSceneMotionFrames);
        view.figureRight = view.figureLeft + WalkerWidth;
        break;
    default:
        break;
    }
    return view;
}

// A well-mixed 64-bit number for each pixel of each frame (the finaliser of SplitMix64).
std::uint64_t Mix(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ull;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebull;
    return value ^ (value >> 31);
}

// Two bytes of random summed: a noise within NoiseReach that is most often small.
float Noise(std::uint64_t random) {
    const int sum = int(random & 255) + int((random >> 8) & 255) - 255;
    return float(sum * NoiseReach) / 255;
}

uchar Channel(float value) {
    return static_cast<uchar>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
}

QImage Draw(const QSize& size, const View& view) {
    QImage picture(size, QImage::Format_RGB888);
    const int width = size.width(), height = size.height();
    const std::uint64_t seed = std::uint64_t(view.noiseFrame) << 40;
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height;
        const bool figureRow = Inside(v, FigureTop, FigureBottom);
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            const bool figure = figureRow && Inside(u, view.figureLeft, view.figureRight);
            const Colour colour = figure ? Colour{40, 40, 50} : RoomColour(u, v);
            const double shade =
                1 - ShadowDepth * std::clamp((view.shadowEdge - u) / ShadowSoftness, 0.0, 1.0);
            const float light =
                float(colour.daylight ? view.exposure : view.exposure * view.lamp * shade);
            const std::uint64_t random = Mix(seed + std::uint64_t(y) * 65536 + std::uint64_t(x));
            row[3 * x] = Channel(colour.red * light + Noise(random));
            row[3 * x + 1] = Channel(colour.green * light + Noise(random >> 16));
            row[3 * x + 2] = Channel(colour.blue * light + Noise(random >> 32));
        }
    }
    return picture;
}

} // namespace

QImage TestScenePicture(const QSize& size, int frameNumber, int scene) {
    return Draw(size, ViewOf(frameNumber, scene));
}

QImage TestRoomPicture(const QSize& size, int frameNumber, double light) {
    View view = ViewOf(frameNumber, TestSceneStillRoom);
    view.lamp = light;
    return Draw(size, view);
}
