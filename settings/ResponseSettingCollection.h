#pragma once
// Keeping the names of ResponseSettings unique.
#include "settings/CResAccount.h"

#include <QString>

// The 1-based position of the first setting named exactly name; 0 when there is none.
int FindResponseSettingByName(const QString& name);

// Whether a setting other than the one at skipIndex (1-based; 0 skips none) accepts address:
// the first setting, in collection order, with a non-empty address exactly equal to it. Sets
// retIndex to its position; leaves retIndex unchanged when there is none.
bool FindResponseSetting(const QString& address, int& retIndex, int skipIndex);

// Appends setting to ResponseSettings; false (nothing added) when its name is taken.
bool AddResponseSetting(const CResAccount& setting);
