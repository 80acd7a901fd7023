#include "platform/ui/FontSubstitution.h"

#include <QFont>

QString GothicFamily() {
    return QStringLiteral("ＭＳ ゴシック");
}

QString ProportionalGothicFamily() {
    return QStringLiteral("ＭＳ Ｐゴシック");
}

void InstallFontSubstitutions() {
    // The table holds each substitute once, however often it is inserted.
    QFont::insertSubstitution(GothicFamily(), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(ProportionalGothicFamily(), QStringLiteral("IPAPGothic"));
}
