#include "settings/SettingKeys.h"

#include "platform/MsgBox.h"

#include <cstdlib>

void InitSettingKeys() {
    OptionKeys();
    MailAccountKeys();
    ResponseSettingKeys();
}

const QStringList& OptionKeys() {
    static const QStringList keys{"WindowLeft",        "WindowTop",         "WindowWidth",
                                  "WindowHeight",      "WindowState",       "MailCheckInterval",
                                  "DeviceDriverIndex", "AcceptedLeftSubject"};
    return keys;
}

const QStringList& MailAccountKeys() {
    static const QStringList keys{"Name",     "MailAddr", "UserName", "Password", "POPHost",
                                  "POPPort",  "SMTPHost", "SMTPPort", "APOP"};
    return keys;
}

const QStringList& ResponseSettingKeys() {
    static const QStringList keys{
        "Name",       "DoReduction",     "ReductionWidth",  "ReductionType",
        "RotationType", "ColorBit",      "FormatType",      "JPEGProgressive",
        "JPEGCompression", "AcceptedMailAddrs", "SendMail_Subject", "SendMail_Body"};
    return keys;
}

void CheckKeyCount(int count, const QStringList& keyTable) {
    if (count == keyTable.size())
        return;
    MsgBox(MsgIcon::Critical, AppTitle(), QStringLiteral("failed to count"));
    // Nothing is open or buffered (every file is written whole), so ending here loses nothing
    // that an orderly exit would keep, and it keeps the shutdown's saving from running.
    std::_Exit(EXIT_FAILURE);
}
