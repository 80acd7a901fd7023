#include "dialogs/NumberBox.h"

#include "settings/CParams.h"

#include <QLineEdit>

QString HalfWidthNumber(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        const char16_t code = c.unicode();
        if (code >= u'０' && code <= u'９')
            c = QChar(u'0' + (code - u'０'));
        else if (code == u'－' || code == u'−' || code == u'ー')
            c = u'-';
        else if (code == u'＋')
            c = u'+';
        else if (code == u'．')
            c = u'.';
    }
    return folded;
}

bool ReadNumberBox(const QLineEdit* box, int& retValue) {
    return ReadParamNumber(HalfWidthNumber(box->text()), retValue);
}
