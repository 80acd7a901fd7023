#include "dialogs/SelAllText.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

class SelectOnFocusIn : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto* textBox = static_cast<QLineEdit*>(watched);
            // After the event: a mouse press that gave the focus places the cursor once the
            // focus has arrived, and would undo a selection made now.
            QTimer::singleShot(0, textBox, [textBox] { SelAllText(textBox); });
        }
        return false;
    }
};

} // namespace

void SelAllText(QLineEdit* textBox) {
    textBox->setSelection(0, textBox->text().size());
}

void SelectAllOnFocus(QLineEdit* textBox) {
    textBox->installEventFilter(new SelectOnFocusIn(textBox));
}
