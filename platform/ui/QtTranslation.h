#pragma once
// Qt's own texts (the standard buttons of message boxes, the context menus of text boxes) in
// Japanese whatever the machine's locale, as the program's own texts are.

// Installs Qt's Japanese translation (qtbase_ja from Qt's translations folder) into the running
// application; false when it is not installed, and Qt's texts stay English.
bool InstallQtJapanese();
