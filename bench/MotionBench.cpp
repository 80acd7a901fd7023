// Motion detection on the test camera's scenes, in process:
//   vistrel_bench_motion cost [FRAMES]
//     the time of MotionDetector::Feed per frame at 640x480 and 1920x1080 (FRAMES frames each,
//     600 by default, of the shape walking to and fro), and the share of one core that
//     detection at 30 frames per second takes;
//   vistrel_bench_motion hour [WIDTH]
//     an hour of the still room at 30 frames per second (WIDTH x 3/4 WIDTH, 320 by default),
//     the lamp switched every ten minutes, fed at full speed: the events found (all false).
// Without arguments it runs both.
#include "motion/MotionDetector.h"
#include "platform/ui/TestScenes.h"

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int FramesPerSecond = 30;

qint64 TimeOf(qint64 frame) {
    return frame * 1000 / FramesPerSecond;
}

// The time of each Feed in microseconds, over frames of the walking shape drawn beforehand.
std::vector<double> FeedTimes(const QSize& size, int frames) {
    std::vector<QImage> pictures;
    for (int i = 0; i < 2 * TestSceneMotionFrames; i += 4)
        pictures.push_back(TestScenePicture(size, i, TestSceneMotion));
    MotionDetector detector;
    std::vector<double> times;
    for (int frame = 0; frame < frames; ++frame) {
        MotionEvent event;
        const QImage& picture = pictures[size_t(frame) % pictures.size()];
        QElapsedTimer timer;
        timer.start();
        detector.Feed(picture, TimeOf(frame), event);
        times.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    return times;
}

void Cost(int frames) {
    std::printf("%-10s %12s %12s %14s %6s\n", "frame", "median us", "mean us", "core at 30/s",
                "goal");
    const struct {
        QSize size;
        double goalPercent;
    } sizes[] = {{{640, 480}, 2}, {{1920, 1080}, 5}};
    for (const auto& s : sizes) {
        std::vector<double> times = FeedTimes(s.size, frames);
        double sum = 0;
        for (double time : times)
            sum += time;
        const double mean = sum / double(times.size());
        std::nth_element(times.begin(), times.begin() + std::ptrdiff_t(times.size() / 2),
                         times.end());
        const double percent = mean * FramesPerSecond / 1e4;
        std::printf("%4dx%-5d %12.1f %12.1f %13.2f%% %5.0f%%%s\n", s.size.width(), s.size.height(),
                    times[times.size() / 2], mean, percent, s.goalPercent,
                    percent < s.goalPercent ? "" : "  (missed)");
    }
}

int Hour(int width) {
    const QSize size(width, width * 3 / 4);
    const qint64 frames = qint64(3600) * FramesPerSecond;
    const qint64 switchEvery = qint64(600) * FramesPerSecond;
    MotionDetector detector;
    int events = 0;
    QElapsedTimer timer;
    timer.start();
    for (qint64 frame = 0; frame < frames; ++frame) {
        const double lamp = (frame / switchEvery) % 2 == 0 ? 1 : TestSceneDimLight;
        MotionEvent event;
        if (detector.Feed(TestRoomPicture(size, int(frame), lamp), TimeOf(frame), event)) {
            ++events;
            std::printf("false event at %.1f s, share %.3f\n", double(event.startMs) / 1000,
                        event.share);
        }
    }
    std::printf("%dx%d, an hour of still room with the lamp switched every 10 minutes, fed in "
                "%.1f s: %d false events per hour (goal 0)\n",
                size.width(), size.height(), double(timer.elapsed()) / 1000, events);
    return events == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int number = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 0;
    if (mode == QStringLiteral("cost")) {
        Cost(number > 0 ? number : 600);
        return 0;
    }
    if (mode == QStringLiteral("hour"))
        return Hour(number > 0 ? number : 320);
    if (!mode.isEmpty()) {
        std::fprintf(stderr, "usage: vistrel_bench_motion [cost [FRAMES] | hour [WIDTH]]\n");
        return 2;
    }
    Cost(600);
    return Hour(320);
}
