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
    // An optional key may be absent (the field keeps its default) and is written only when
    // the field differs from its default; the key count check leaves it out.
    bool optional = false;
};

// The keys of a table, in its order: the required ones, or the optional ones.
template <typename Record>
QStringList KeysOf(std::span<const RecordField<Record>> fields, bool optional = false) {
    QStringList keys;
    for (const RecordField<Record>& entry : fields)
        if (entry.optional == optional)
            keys << QString::fromLatin1(entry.key);
    return keys;
}

// Fills retRecord from params, field by field: a field whose key is absent or unreadable keeps
// its default and makes the answer false, while the other fields are still read. An optional
// key that is absent is no fault.
// retSecretUnreadable tells an encrypted field that is present but cannot be decrypted;
// retFaultKey names the first key that was absent or unreadable ("" when none was).
template <typename Record>
bool ParamsToRecord(const CParams& params, std::span<const RecordField<Record>> fields,
                    const QStringList& keyTable, Record& retRecord, bool& retSecretUnreadable,
                    QString& retFaultKey) {
    Record record;
    ParamReader required(params);
    ParamReader optionalReader(params);
    retSecretUnreadable = false;
    for (const RecordField<Record>& entry : fields) {
        const QString key = QString::fromLatin1(entry.key);
        if (entry.optional && !params.Item(key))
            continue;
        ParamReader& reader = entry.optional ? optionalReader : required;
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
                    retSecretUnreadable = !DecryptPassword(item->Text(), record.*(field.field)) ||
                                          retSecretUnreadable;
            },
            entry.field);
    }
    CheckKeyCount(required.KeysAsked(), keyTable);
    retRecord = record;
    retFaultKey = required.Complete() ? optionalReader.FirstFault() : required.FirstFault();
    return required.Complete() && optionalReader.Complete();
}

// The record as parameters, one per field in the table's order; an optional field only when
// it differs from its default.
template <typename Record>
CParams RecordToParams(const Record& record, std::span<const RecordField<Record>> fields,
                       const QStringList& keyTable) {
    CParams params;
    const Record defaults{};
    int required = 0;
    for (const RecordField<Record>& entry : fields) {
        const QString key = QString::fromLatin1(entry.key);
        const bool isDefault = std::visit(
            [&](auto field) {
                if constexpr (std::is_same_v<decltype(field), typename RecordField<Record>::Secret>)
                    return record.*(field.field) == defaults.*(field.field);
                else
                    return record.*field == defaults.*field;
            },
            entry.field);
        if (entry.optional && isDefault)
            continue;
        required += entry.optional ? 0 : 1;
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
    CheckKeyCount(required, keyTable);
    return params;
}
