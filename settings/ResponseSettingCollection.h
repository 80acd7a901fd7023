#pragma once
// Keeping the names of ResponseSettings unique.
#include "settings/CResAccount.h"

#include <QString>

// The 1-based position of the first setting named exactly name; 0 when there is none.
int FindResponseSettingByName(const QString& name);

// Appends setting to ResponseSettings; false (nothing added) when its name is taken.
bool AddResponseSetting(const CResAccount& setting);
