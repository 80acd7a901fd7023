#include "settings/ResponseSettingCollection.h"

#include "settings/ProgramObjects.h"

int FindResponseSettingByName(const QString& name) {
    for (size_t i = 0; i < ResponseSettings.size(); ++i)
        if (ResponseSettings[i].Name == name)
            return static_cast<int>(i) + 1;
    return 0;
}

bool FindResponseSetting(const QString& address, int& retIndex, int skipIndex) {
    for (size_t i = 0; i < ResponseSettings.size(); ++i) {
        const int position = static_cast<int>(i) + 1;
        if (position == skipIndex)
            continue;
        // A setting that was never given addresses holds a text and accepts nobody.
        const auto* addresses = std::get_if<QStringList>(&ResponseSettings[i].vAcceptedMailAddrs);
        if (addresses == nullptr)
            continue;
        for (const QString& accepted : *addresses)
            if (!accepted.isEmpty() && accepted == address) {
                retIndex = position;
                return true;
            }
    }
    return false;
}

bool AddResponseSetting(const CResAccount& setting) {
    if (FindResponseSettingByName(setting.Name) != 0)
        return false;
    ResponseSettings.push_back(setting);
    return true;
}
