#include "app/MotionWatch.h"

#include "app/MailCheckSchedule.h"
#include "app/MotionAlert.h"
#include "log/WriteLog.h"
#include "platform/Clock.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"

#include <cmath>
#include <utility>

namespace {

qint64 NowMs() {
    return std::llround(SteadySeconds() * 1000);
}

} // namespace

MotionWatch::MotionWatch(MailCheckSchedule& schedule, Sender send)
    : schedule(schedule), send(std::move(send)) {}

void MotionWatch::Restarted() {
    detector.IgnoreUntil(NowMs() + qint64{MotionIgnoreSeconds} * 1000);
}

void MotionWatch::Frame(const QImage& frame) {
    if (!MotionAlert) {
        watching = false;
        pending.reset();
        return;
    }
    if (!std::exchange(watching, true))
        Restarted();
    const qint64 now = NowMs();
    if (!lastFedMs || now - *lastFedMs >= MotionFrameSpacingMs) {
        lastFedMs = now;
        detector.SetSensitivity(MotionSensitivity);
        MotionEvent event;
        if (detector.Feed(frame, now, event))
            Decide(event, now);
    }
    SendDue(now);
}

bool MotionWatch::IntervalPassed(qint64 nowMs) const {
    return !lastAlertMs || nowMs - *lastAlertMs >= qint64{MotionAlertInterval} * 60'000;
}

void MotionWatch::Decide(const MotionEvent& event, qint64 nowMs) {
    // A fresh event takes the place of a retry that falls due with it, not of a first alert
    // that waits for a check to end.
    if (!IntervalPassed(nowMs) || (pending && !pending->retry))
        return;
    WriteLog(MotionDetectedText);
    const int index = FindResponseSettingByName(MotionAlertSetting);
    const CResAccount* setting =
        index > 0 ? &ResponseSettings[static_cast<size_t>(index - 1)] : nullptr;
    const QStringList recipients = setting ? AlertRecipients(*setting) : QStringList();
    if (recipients.isEmpty()) {
        // Logged once an interval, as an alert would be.
        lastAlertMs = nowMs;
        pending.reset();
        WriteLog((setting ? QStringLiteral("通知先のメールアドレスがありません: ")
                          : QStringLiteral("通知先の返信アカウントがありません: ")) +
                 MotionAlertSetting);
        return;
    }
    pending = Alert{event.picture, *setting, recipients};
}

void MotionWatch::SendDue(qint64 nowMs) {
    if (!pending || (pending->retry && !IntervalPassed(nowMs)))
        return;
    schedule.RunBesideChecks([&] {
        const Alert alert = *std::exchange(pending, std::nullopt);
        lastAlertMs = nowMs;
        if (alert.retry)
            WriteLog(QStringLiteral("通知メールをもう一度送ります"));
        const QStringList again = send(alert.picture, alert.setting, alert.recipients);
        if (!again.isEmpty() && !alert.retry)
            pending = Alert{alert.picture, alert.setting, again, true};
    });
}
