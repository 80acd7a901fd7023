#pragma once
// The message of a refused dialog input.
#include <QString>

// Shows text in a message box with the exclamation icon, the OK button and the program's
// title; the focus stays where it was.
void ErrMsg(const QString& text);
