#pragma once
// Motion in a camera's stream, as plain computation over frames: each frame is reduced to a
// small grey picture, compared with a running background after the mean brightness of both is
// evened out, and counted as changed where enough cells differ by more than the noise. A
// motion event is a run of changed frames; a change of most of the picture at once is light
// (a lamp, the camera's automatic exposure), not motion. Nothing here knows clocks or widgets:
// the caller gives each frame its time.
#include "motion/GreyCells.h"
#include "motion/MotionRun.h"

#include <QImage>
#include <QtGlobal>

// One closed motion event: the frame of the event with the most change, and that change.
struct MotionEvent {
    QImage picture;     // the frame as it came from the stream, full size
    double share = 0;   // the share of changed cells in that frame, 0 to 1
    qint64 startMs = 0; // the time of the event's first changed frame
};

class MotionDetector {
  public:
    // sensitivity 1 to 100 (values outside are clamped): the higher, the smaller the share
    // of changed cells that counts as motion.
    explicit MotionDetector(int sensitivity = 50);

    void SetSensitivity(int sensitivity);
    // Frames before msecs only rebuild the background (after start-up, a format change or a
    // reconnect of the camera); an event in progress is dropped.
    void IgnoreUntil(qint64 msecs);
    // Feeds the frame taken at msecs (steady clock, increasing). True, with retEvent, when a
    // motion event has closed: its frames stopped changing, or it has lasted long enough that
    // continuous motion is reported while it goes on.
    bool Feed(const QImage& frame, qint64 msecs, MotionEvent& retEvent);

    // The sensitivity in use, after clamping.
    int Sensitivity() const { return sensitivity; }

  private:
    int sensitivity = 50;
    double level = 0; // the share of changed cells that counts, from the sensitivity
    qint64 ignoreUntilMs = 0;
    qint64 lastMs = 0; // the time of the frame before
    GreyCells background;
    GreyCells cells; // the frame being judged; kept to reuse its memory
    MotionRun run;
    MotionEvent best; // the run's frame with the largest share
};
