#include "settings/ParamReader.h"

const CParamItem* ParamReader::Take(const QString& key) {
    ++keysAsked;
    const CParamItem* item = params.Item(key);
    if (!item)
        Fault(key);
    return item;
}

void ParamReader::Fault(const QString& key) {
    if (complete)
        firstFault = key;
    complete = false;
}

void ParamReader::Text(const QString& key, QString& field) {
    if (const CParamItem* item = Take(key))
        field = item->IsList() ? item->List().join(u',') : item->Text();
}

void ParamReader::Number(const QString& key, int& field) {
    const CParamItem* item = Take(key);
    if (item && !ReadParamNumber(item->Text(), field))
        Fault(key);
}

void ParamReader::Value(const QString& key, ParamValue& field) {
    if (const CParamItem* item = Take(key))
        field = item->Param;
}
