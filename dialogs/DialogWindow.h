#pragma once
// What the settings dialogs share as windows.
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class QString;

// A fixed-size dialog window with a title and a close box but no minimise or maximise
// buttons; its size follows its layout.
void MakeFixedDialog(QDialog* dialog, const QString& title);

// Moves window to the centre of its screen's available area.
void CentreOnScreen(QWidget* window);

// Sizes the dialog to its layout, centres it on its screen and shows it modally; answers
// QDialog's result.
int ShowModalCentred(QDialog* dialog);

// The object names of window's controls, sorted (Qt's own inner parts left out): what a picture
// of the window in docs/ was made with, stored beside it.
QStringList ControlNames(const QWidget* window);

// A label with objectName and text; an access key in text ("&N") moves the focus to buddy.
QLabel* MakeLabel(const char* objectName, const QString& text, QWidget* buddy = nullptr);

// As MakeLabel, for a buddy that is a button: the access key moves the focus to it and leaves
// it unpressed (a plain label would press it).
QLabel* MakeFocusLabel(const char* objectName, const QString& text, QWidget* buddy);

// A one-line text box named objectName.
QLineEdit* MakeTextBox(const char* objectName);

// A check box named objectName.
QCheckBox* MakeCheckBox(const char* objectName, const QString& text);

// A drop-down list (no typing) with that object name.
QComboBox* MakeDropDownList(const char* objectName);

// A push button named objectName.
QPushButton* MakeButton(const char* objectName, const QString& text);

// A horizontal separator line named objectName.
QFrame* MakeLine(const char* objectName);

// The buttons at the foot of dialog, to the right: okButton is the default button (Enter),
// cancelButton (may be null) and Esc close the dialog rejected.
QHBoxLayout* MakeButtonRow(QDialog* dialog, QPushButton* okButton, QPushButton* cancelButton);
