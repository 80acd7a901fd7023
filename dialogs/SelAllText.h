#pragma once
// Text boxes that select their whole text when they receive the focus, so that typing
// replaces the old value.
class QLineEdit;

// Selects the whole text of textBox.
void SelAllText(QLineEdit* textBox);

// From now on, textBox selects its whole text whenever it receives the focus, by the mouse
// too.
void SelectAllOnFocus(QLineEdit* textBox);
