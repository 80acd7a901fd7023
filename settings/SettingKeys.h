#pragma once
// The three key tables: which keys each kind of settings file holds and in which order its
// lines are written.
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <QStringList>
#include <span>

template <typename Record> struct RecordField;

// Builds the tables; the first call of any table below does it too.
void InitSettingKeys();

const QStringList& OptionKeys(); // main.opt, 8 keys
// main.opt's keys after those, each written only when its value differs from the default, so
// that a file of a set-up that does not use them stays as it was: 8 keys.
const QStringList& OptionalOptionKeys();
const QStringList& MailAccountKeys(); // main.mla, 9 keys
// main.mla's optional keys, after the nine: written only when they differ from their default,
// and not counted by CheckKeyCount.
const QStringList& OptionalMailAccountKeys();
const QStringList& ResponseSettingKeys(); // *.csp, 12 keys

// The key ↔ field tables of the two records (settings/RecordFields.h); the two key tables
// above are made from them.
std::span<const RecordField<CMailAccount>> MailAccountFields();
std::span<const RecordField<CResAccount>> ResponseSettingFields();

// The self-check between a key table and the record code that fills or reads it: when count
// is not the number of keys in keyTable, shows "failed to count" with the error icon and ends
// the program at once, saving nothing further.
void CheckKeyCount(int count, const QStringList& keyTable);
