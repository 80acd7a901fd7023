#include "settings/ProgramObjects.h"

CMailAccount CurrentMailAccount;
std::vector<CResAccount> ResponseSettings;
std::optional<QStringList> ReceivedUidlList;

int MailCheckInterval = 5;
int DeviceDriverIndex = 0;
QString AcceptedLeftSubject;
bool DeleteAfterReply = false;

bool RequireAuthenticatedSender = false;
QString TrustedAuthServId;
int MaxRepliesPerSenderPerHour = 0;

bool MotionAlert = false;
QString MotionAlertSetting;
int MotionSensitivity = MotionSensitivityRange.Default;
int MotionAlertInterval = MotionAlertIntervalRange.Default;
int MotionIgnoreSeconds = MotionIgnoreSecondsRange.Default;

bool DialogAccepted = false;
std::optional<CMailAccount> EditedMailAccount;
