#include "settings/ProgramObjects.h"

CMailAccount CurrentMailAccount;
std::vector<CResAccount> ResponseSettings;
std::optional<QStringList> ReceivedUidlList;

int MailCheckInterval = 5;
int DeviceDriverIndex = 0;
QString AcceptedLeftSubject;
bool DeleteAfterReply = false;

bool DialogAccepted = false;
std::optional<CMailAccount> EditedMailAccount;
