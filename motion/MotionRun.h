#pragma once
// The events of a stream of frames, each frame already judged changed or quiet: StartFrames
// changed frames in a row begin an event, QuietFrames quiet ones in a row end it, and one
// that has lasted LongestEventMs ends at once, so that continuous motion is reported again
// and again. The frame with the largest share is the event's picture.
#include <QtGlobal>

// Three frames (a tenth of a second at 30 per second): a single odd frame, a flicker of the
// lamp or one damaged frame of the stream begins nothing.
constexpr int StartFrames = 3;
// A second of calm at 30 per second ends an event: a person who stops for a moment is still
// one event, although the background takes them in within a second (the test camera's
// crossing has 17 calm frames there at sensitivity 50).
constexpr int QuietFrames = 30;
// Motion that goes on is reported every ten seconds; the alert decides how many of those
// reports become mails.
constexpr qint64 LongestEventMs = 10'000;

struct MotionRun {
    int changedInRow = 0; // changed frames since the last quiet one
    int quietInRow = 0;   // quiet frames since the last changed one, while open
    bool open = false;    // StartFrames changed frames came in a row
    qint64 startMs = 0;   // the time of the run's first changed frame
    double bestShare = 0; // the largest share of the run so far
};

// Steps run with the frame taken at msecs; retBest is true when this frame's share is the
// largest of the run so far (the first changed frame of a run always is). True when the
// event closed with this frame; run then starts afresh, with startMs still the closed one's.
bool StepMotionRun(MotionRun& run, bool changed, double share, qint64 msecs, bool& retBest);
