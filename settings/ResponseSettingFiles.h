#pragma once
// The response settings files: the i-th setting of ResponseSettings in options/00i.csp
// (at least three digits), under the title "Responce Account".
#include "settings/CParams.h"
#include "settings/CResAccount.h"

#include <QString>
#include <vector>

// Replaces ResponseSettings by the settings of folder's *.csp files, in name order. retCount
// is the number of files read without fault (a second file with a name already loaded is
// dropped but counted); retIsError is true when a readable file lacked a key, held a number
// that does not read, or had an empty name, or when a file was larger than a settings file
// can be (MaxSettingsFileBytes). Files that are missing or empty are skipped.
void LoadResponseSettingFiles(const QString& folder, int& retCount, bool& retIsError);

// Writes the settings as 001.csp, 002.csp, … and only when every one was written removes the
// other *.csp files; the first failed write stops the save, so that every setting stays in
// some file until its new file is in place. False when a file could not be written.
bool SaveResponseSettingFiles(const QString& folder, const std::vector<CResAccount>& collection);

// A setting from a parsed file, starting from the defaults; false when a key is absent or a
// number does not read (the other keys are still read). "AcceptedMailAddrs" keeps its form:
// a list when written with ",=", otherwise a text.
bool ParamsToResponseSetting(const CParams& params, CResAccount& retSetting);

// The twelve keys of a setting in key table order.
CParams ResponseSettingToParams(const CResAccount& setting);
