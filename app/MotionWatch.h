#pragma once
// Motion alerts from the camera's live picture. While MotionAlert is on, the preview's frames
// go to the detector; a closed motion event becomes an alert when MotionAlertInterval minutes
// have passed since the last one, and the alert goes out beside the mail checks, never during
// one. An alert that did not reach every address is tried once more for those when the next
// interval has passed. Times are the steady clock's (platform/Clock.h).
#include "motion/MotionDetector.h"
#include "settings/CResAccount.h"

#include <QImage>
#include <QStringList>
#include <functional>
#include <optional>

class MailCheckSchedule;

// The detector counts its frames at 30 a second: a faster preview feeds it every frame that
// comes at least this long after the one it took before.
constexpr qint64 MotionFrameSpacingMs = 30;

class MotionWatch {
  public:
    // Sends picture as the alert of setting to recipients and answers those to try again
    // (SendMotionAlert, in the program).
    using Sender = std::function<QStringList(const QImage& picture, const CResAccount& setting,
                                             const QStringList& recipients)>;

    // The alerts run through schedule's RunBesideChecks.
    MotionWatch(MailCheckSchedule& schedule, Sender send);

    // A frame of the preview, taken now. A closed event when alerts are due logs
    // MotionDetectedText and becomes the alert of the response setting MotionAlertSetting
    // (a setting that is gone or has no address is logged instead, and counts as the
    // interval's alert); a due alert is sent as soon as no check runs.
    void Frame(const QImage& frame);
    // The stream started anew: nothing counts as motion for MotionIgnoreSeconds from now.
    // Alerts turned on count as a start too.
    void Restarted();

  private:
    struct Alert {
        QImage picture;
        CResAccount setting;
        QStringList recipients;
        bool retry = false;
    };
    void Decide(const MotionEvent& event, qint64 nowMs);
    void SendDue(qint64 nowMs);
    bool IntervalPassed(qint64 nowMs) const;

    MailCheckSchedule& schedule;
    Sender send;
    MotionDetector detector;
    bool watching = false; // alerts were on at the frame before
    std::optional<qint64> lastFedMs;
    std::optional<qint64> lastAlertMs; // when the last alert was decided on or sent
    std::optional<Alert> pending;      // due, or waiting for its retry
};
