#include "settings/ResponseSettingCollection.h"

#include "settings/ProgramObjects.h"

int FindResponseSettingByName(const QString& name) {
    for (size_t i = 0; i < ResponseSettings.size(); ++i)
        if (ResponseSettings[i].Name == name)
            return static_cast<int>(i) + 1;
    return 0;
}

bool AddResponseSetting(const CResAccount& setting) {
    if (FindResponseSettingByName(setting.Name) != 0)
        return false;
    ResponseSettings.push_back(setting);
    return true;
}
