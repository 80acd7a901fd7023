#include "settings/CParams.h"

#include "platform/Rounding.h"

#include <QLocale>
#include <cmath>

namespace {

// Keys are ASCII; other letters compare as they are.
QString FoldedKey(const QString& key) {
    QString folded = key;
    for (QChar& c : folded)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return folded;
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
    QString key = FoldedKey(item.Cmd);
    if (key.isEmpty() || positions.contains(key))
        return nullptr;
    items.push_back(std::move(item));
    positions.insert(std::move(key), items.size() - 1);
    return &items.back();
}

const CParamItem* CParams::Item(const QString& key) const {
    const auto at = positions.constFind(FoldedKey(key));
    return at == positions.constEnd() ? nullptr : &items[*at];
}

const CParamItem* CParams::Item(int position) const {
    if (position < 1 || position > Count())
        return nullptr;
    return &items[static_cast<size_t>(position - 1)];
}

bool CParams::Remove(const QString& key) {
    const auto at = positions.constFind(FoldedKey(key));
    if (at == positions.constEnd())
        return false;
    const size_t removed = *at;
    positions.erase(at);
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(removed));
    for (size_t& position : positions)
        if (position > removed)
            --position;
    return true;
}

QString ParamNumberText(int value) {
    return QString::number(value);
}

QString ParamNumberText(float value) {
    return QString::number(static_cast<double>(value), 'g', 7);
}

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
