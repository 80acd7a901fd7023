#include "settings/AllSettings.h"

// The settings files are not read or written yet: the program runs on its defaults.
bool LoadAllSettings() { return true; }

void SaveAllSettings() {}
