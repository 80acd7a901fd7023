#pragma once
// For the tests of programs that link settings/: the program-wide objects as a fresh start has
// them before LoadAllSettings.
#include "settings/ProgramObjects.h"

inline void ResetProgramObjects() {
    CurrentMailAccount = CMailAccount();
    ResponseSettings.clear();
    ReceivedUidlList.reset();
    MailCheckInterval = 5;
    DeviceDriverIndex = 0;
    AcceptedLeftSubject.clear();
    DeleteAfterReply = false;
    RequireAuthenticatedSender = false;
    TrustedAuthServId.clear();
    MaxRepliesPerSenderPerHour = 0;
    MotionAlert = false;
    MotionAlertSetting.clear();
    MotionSensitivity = MotionSensitivityRange.Default;
    MotionAlertInterval = MotionAlertIntervalRange.Default;
    MotionIgnoreSeconds = MotionIgnoreSecondsRange.Default;
    DialogAccepted = false;
    EditedMailAccount.reset();
}
