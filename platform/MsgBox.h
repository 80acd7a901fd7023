#pragma once
// Message boxes: one call (icon, title, text, buttons) answers the button the user chose.
// The main program installs the windowed handler at start-up; tests install a recorder.
#include <QString>
#include <functional>

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgAnswer { OK, Cancel, Yes, No };
// Which of the buttons Enter presses, counted from the left.
enum class MsgDefault { First, Second, Third };

struct MsgBoxRequest {
    MsgIcon icon;
    QString title;
    QString text;
    MsgButtons buttons;
    MsgDefault defaultButton;
};

using MsgBoxHandler = std::function<MsgAnswer(const MsgBoxRequest&)>;

// Shows the box through the installed handler. With none installed (a program without a
// screen) the box is written to standard error and answered with its last button
// (OK, Cancel or No), the answer that changes nothing.
MsgAnswer MsgBox(MsgIcon icon, const QString& title, const QString& text,
                 MsgButtons buttons = MsgButtons::OK, MsgDefault defaultButton = MsgDefault::First);

// The last of the buttons (OK, Cancel or No): the answer that changes nothing, for a box
// nobody can see.
MsgAnswer SafeAnswer(MsgButtons buttons);

// Installs handler and answers the one it replaces.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);

// The title of the program's own boxes and of its main window.
QString AppTitle();
