#include "settings/CParams.h"

#include "platform/Rounding.h"

#include <QLocale>
#include <cmath>

namespace {

// Keys are ASCII; other letters compare as they are.
bool SameKey(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x += 32;
        if (y >= u'A' && y <= u'Z')
            y += 32;
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

QString CParamItem::Text() const {
    const QString* text = std::get_if<QString>(&Param);
    return text ? *text : QString();
}

QStringList CParamItem::List() const {
    const QStringList* list = std::get_if<QStringList>(&Param);
    return list ? *list : QStringList();
}

const CParamItem* CParams::Add(const QString& sCmd, const QString& sParam) {
    return Store(CParamItem{sCmd, sParam});
}

const CParamItem* CParams::Add(const QString& sCmd, const QStringList& vParam) {
    return Store(CParamItem{sCmd, vParam});
}

const CParamItem* CParams::Store(CParamItem item) {
    if (item.Cmd.isEmpty() || Item(item.Cmd))
        return nullptr;
    items.push_back(std::move(item));
    return &items.back();
}

const CParamItem* CParams::Item(const QString& key) const {
    for (const CParamItem& item : items)
        if (SameKey(item.Cmd, key))
            return &item;
    return nullptr;
}

const CParamItem* CParams::Item(int position) const {
    if (position < 1 || position > Count())
        return nullptr;
    return &items[static_cast<size_t>(position - 1)];
}

bool CParams::Remove(const QString& key) {
    for (auto it = items.begin(); it != items.end(); ++it)
        if (SameKey(it->Cmd, key)) {
            items.erase(it);
            return true;
        }
    return false;
}

QString ParamNumberText(int value) { return QString::number(value); }

QString ParamNumberText(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

bool ReadParamNumber(const QString& text, int& retValue) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double rounded = RoundHalfEven(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return false;
    retValue = static_cast<int>(rounded);
    return true;
}
