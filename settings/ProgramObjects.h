#pragma once
// The program-wide settings objects: loaded by LoadAllSettings, edited in memory by the
// dialogs, saved by SaveAllSettings.
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <QStringList>
#include <optional>
#include <vector>

extern CMailAccount CurrentMailAccount;
// Ordered as loaded; positions count from 1 where the program names them.
extern std::vector<CResAccount> ResponseSettings;
// The received UIDLs; absent until a rule file with at least one identifier was read.
extern std::optional<QStringList> ReceivedUidlList;

extern int MailCheckInterval;       // minutes between mail checks, at least 1
extern int DeviceDriverIndex;       // zero-based capture driver, at least 0
extern QString AcceptedLeftSubject; // required subject prefix; empty: no subject test
extern bool DeleteAfterReply;       // off at every start, never stored

// Answer only requests whose sender the receiving server authenticated, as its
// Authentication-Results fields under the id TrustedAuthServId say. Off by default.
extern bool RequireAuthenticatedSender;
extern QString TrustedAuthServId;
// At most this many replies to one sender in any 60 minutes; 0: no limit. Never above
// MaxRepliesPerSenderPerHourLimit.
extern int MaxRepliesPerSenderPerHour;
constexpr int MaxRepliesPerSenderPerHourLimit = 1000;

// The allowed values of a whole-number option and the value it has when none is stored.
struct OptionNumber {
    int Minimum;
    int Maximum;
    int Default;
    bool Allows(int value) const { return value >= Minimum && value <= Maximum; }
};

// Motion alerts: when the camera's picture shows something moving, a still of it is mailed
// to every address of the response setting named MotionAlertSetting, prepared by its image
// steps, at most once in MotionAlertInterval minutes. Off by default.
extern bool MotionAlert;
extern QString MotionAlertSetting;
// 1 to 100: the higher, the smaller a change that counts as motion.
extern int MotionSensitivity;
constexpr OptionNumber MotionSensitivityRange{1, 100, 50};
extern int MotionAlertInterval; // minutes
constexpr OptionNumber MotionAlertIntervalRange{1, 1440, 10};
// Seconds after start-up, a change of the video format and a reconnect of the camera in which
// nothing counts as motion, while the camera settles.
extern int MotionIgnoreSeconds;
constexpr OptionNumber MotionIgnoreSecondsRange{0, 600, 5};

// What the mail account and response setting dialogs report back.
extern bool DialogAccepted;
extern std::optional<CMailAccount> EditedMailAccount;
