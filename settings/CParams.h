#pragma once
// The in-memory form of a settings file: an ordered list of key/value items, looked up by key
// without regard to the case of ASCII letters, each key at most once.
#include <QHash>
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

// A value as a file holds it: a text, or a list of texts (a key written with a trailing ",").
using ParamValue = std::variant<QString, QStringList>;

// One key/value pair. The value is a text or a list of texts; numbers are stored as their
// decimal text (see ParamNumberText).
struct CParamItem {
    QString Cmd;
    ParamValue Param;

    bool IsList() const { return std::holds_alternative<QStringList>(Param); }
    // The text value; empty for a list.
    QString Text() const;
    // The list value; empty for a text.
    QStringList List() const;
};

class CParams {
  public:
    // Stores a new item and answers it; answers nullptr and stores nothing when sCmd is empty
    // or already present. An answered item stays valid until the next Add or Remove.
    const CParamItem* Add(const QString& sCmd, const QString& sParam);
    const CParamItem* Add(const QString& sCmd, const QStringList& vParam);
    // The item under key, or at a 1-based position; nullptr when there is none.
    const CParamItem* Item(const QString& key) const;
    const CParamItem* Item(int position) const;
    int Count() const { return static_cast<int>(items.size()); }
    // Answers false when there was no such item.
    bool Remove(const QString& key);

    // Iteration in the order the items were added.
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

  private:
    const CParamItem* Store(CParamItem item);
    std::vector<CParamItem> items;
    // 0-based positions in items by key with ASCII letters in lower case, so that a look-up
    // does not walk the list (a file of many keys would take quadratic time to read).
    QHash<QString, size_t> positions;
};

// Decimal text of a whole number, with "-" when negative.
QString ParamNumberText(int value);
// Shortest decimal text of a single-precision number, up to 7 significant digits
// (100, 100.5, 100.4667).
QString ParamNumberText(float value);
// Reads text as a signed 32-bit number; a fraction rounds to the nearest whole number, ties
// to even. False (retValue unchanged) for text that is not a number or does not fit.
bool ReadParamNumber(const QString& text, int& retValue);
