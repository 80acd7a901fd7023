#pragma once
// Fills a record's fields from a parsed settings file, key by key: a field whose key is absent
// or whose number does not read keeps its default and makes the record incomplete, while the
// other keys are still read.
#include "settings/CParams.h"

class ParamReader {
  public:
    explicit ParamReader(const CParams& params) : params(params) {}

    // The text of key; a list value gives its items joined by "," as the line held them.
    void Text(const QString& key, QString& field);
    // The number of key, read as ReadParamNumber does.
    void Number(const QString& key, int& field);
    // The value of key as the file holds it: a text or a list.
    void Value(const QString& key, ParamValue& field);
    // The item of key for a field with a conversion of its own; nullptr (the record then
    // being incomplete) when the key is absent.
    const CParamItem* Take(const QString& key);

    // True when every key asked for was present and read.
    bool Complete() const { return complete; }
    // The first key asked for that was absent or did not read ("" when complete).
    const QString& FirstFault() const { return firstFault; }
    // How many keys were asked for: the field count that the key table must match.
    int KeysAsked() const { return keysAsked; }

  private:
    void Fault(const QString& key);

    const CParams& params;
    bool complete = true;
    QString firstFault;
    int keysAsked = 0;
};
