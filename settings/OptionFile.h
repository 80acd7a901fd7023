#pragma once
// The options file options/main.opt, title "Option": the main window's placement (through the
// registered WindowPlacement), MailCheckInterval, DeviceDriverIndex and AcceptedLeftSubject,
// then the sender options RequireAuthenticatedSender, TrustedAuthServId and
// MaxRepliesPerSenderPerHour and the motion options MotionAlert, MotionAlertSetting,
// MotionSensitivity, MotionAlertInterval and MotionIgnoreSeconds, each only when it differs
// from its default. DeleteAfterReply is never stored.
#include <QString>

// Applies folder/main.opt; a missing, unreadable or empty file changes nothing, and so does
// one larger than a settings file can be (MaxSettingsFileBytes). A position
// off the screen becomes 0, a width or height beyond it 160 or 120 pixels; the bounds are
// applied before the window state, so a maximised window keeps its normal bounds. A value
// that is not a number keeps the current one. The interval is at least 1 and the driver index
// at least 0 afterwards; an absent AcceptedLeftSubject gives the empty prefix. An absent sender
// option gives its default; RequireAuthenticatedSender is on for any number but 0, and the
// reply limit is clamped to 0 .. MaxRepliesPerSenderPerHourLimit. MotionAlert is on for any
// number but 0; a motion number that is absent, no number or out of its range gives its
// default. Without a registered placement the window keys are read but applied to nothing.
void LoadOptionFile(const QString& folder);

// Writes folder/main.opt: the window state at this moment and the normal window's bounds
// (without a registered placement: state 0 and 0, 0, 160 × 120), then the three options, then
// the sender and motion options that differ from their defaults. False when it could not be
// written (the old file then stays whole).
bool SaveOptionFile(const QString& folder);

// True when 0 <= pixels <= the screen's width (horizontal) or height.
bool IsOnScreen(int pixels, bool horizontal);
