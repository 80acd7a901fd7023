#include "dialogs/ErrMsg.h"

#include "platform/MsgBox.h"

void ErrMsg(const QString& text) {
    MsgBox(MsgIcon::Exclamation, AppTitle(), text);
}
