#pragma once
// The key ↔ field tables of the settings records. One table per record says which key holds
// which field, and in which order the lines are written; the record's key table, its reading
// from a parsed file and its writing are all made from it.
#include "settings/CParams.h"
#include "settings/ParamReader.h"
#include "settings/PasswordCipher.h"
#include "settings/SettingKeys.h"

#include <QStringList>
#include <span>
#include <variant>

template <typename Record> struct RecordField {
    // A text field held encrypted in the file (the mail account's password).
    struct Secret {
        QString Record::*field;
    };
    const char* key;
    std::variant<QString Record::*, int Record::*, ParamValue Record::*, Secret> field;
};

// The keys of a table, in its order.
template <typename Record> QStringList KeysOf(std::span<const RecordField<Record>> fields) {
    QStringList keys;
    for (const RecordField<Record>& entry : fields)
        keys << QString::fromLatin1(entry.key);
    return keys;
}

// Fills retRecord from params, field by field: a field whose key is absent or unreadable keeps
// its default and makes the answer false, while the other fields are still read.
// retSecretUnreadable tells an encrypted field that is present but cannot be decrypted.
template <typename Record>
bool ParamsToRecord(const CParams& params, std::span<const RecordField<Record>> fields,
                    const QStringList& keyTable, Record& retRecord, bool& retSecretUnreadable) {
    Record record;
    ParamReader reader(params);
    retSecretUnreadable = false;
    for (const RecordField<Record>& entry : fields) {
        const QString key = QString::fromLatin1(entry.key);
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, QString Record::*>)
                    reader.Text(key, record.*field);
                else if constexpr (std::is_same_v<Field, int Record::*>)
                    reader.Number(key, record.*field);
                else if constexpr (std::is_same_v<Field, ParamValue Record::*>)
                    reader.Value(key, record.*field);
                else if (const CParamItem* item = reader.Take(key))
                    retSecretUnreadable = !DecryptPassword(item->Text(), record.*(field.field));
            },
            entry.field);
    }
    CheckKeyCount(reader.KeysAsked(), keyTable);
    retRecord = record;
    return reader.Complete();
}

// The record as parameters, one per field in the table's order.
template <typename Record>
CParams RecordToParams(const Record& record, std::span<const RecordField<Record>> fields,
                       const QStringList& keyTable) {
    CParams params;
    for (const RecordField<Record>& entry : fields) {
        const QString key = QString::fromLatin1(entry.key);
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, QString Record::*>)
                    params.Add(key, record.*field);
                else if constexpr (std::is_same_v<Field, int Record::*>)
                    params.Add(key, ParamNumberText(record.*field));
                else if constexpr (std::is_same_v<Field, ParamValue Record::*>)
                    std::visit([&](const auto& value) { params.Add(key, value); }, record.*field);
                else
                    params.Add(key, EncryptPassword(record.*(field.field)));
            },
            entry.field);
    }
    CheckKeyCount(params.Count(), keyTable);
    return params;
}
