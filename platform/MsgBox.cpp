#include "platform/MsgBox.h"

#include <cstdio>
#include <utility>

namespace {

MsgBoxHandler& Handler() {
    static MsgBoxHandler handler;
    return handler;
}

} // namespace

MsgAnswer SafeAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK:
        return MsgAnswer::OK;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::OKCancel:
    case MsgButtons::YesNoCancel:
        break;
    }
    return MsgAnswer::Cancel;
}

MsgAnswer MsgBox(MsgIcon icon, const QString& title, const QString& text, MsgButtons buttons,
                 MsgDefault defaultButton) {
    if (Handler())
        return Handler()(MsgBoxRequest{icon, title, text, buttons, defaultButton});
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return SafeAnswer(buttons);
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

QString AppTitle() {
    return QStringLiteral("Vistrel");
}
