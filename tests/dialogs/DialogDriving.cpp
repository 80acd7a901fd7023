#include "tests/dialogs/DialogDriving.h"

#include "tests/support/PumpUntil.h"

#include <QTimer>

void TypeKeys(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(widget, QString(c));
        else // a character an input method would deliver: no key of its own
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

bool PumpUntilSelected(const QLineEdit* box) {
    return PumpUntil([box] { return !box->text().isEmpty() && box->selectedText() == box->text(); },
                     1000);
}

RunWhen::RunWhen(std::function<bool()> ready, std::function<void()> action) {
    auto* timer = new QTimer;
    watcher = timer;
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, ready, action] {
        if (!ready())
            return;
        timer->stop();
        ran = true;
        action();
    });
    timer->start(5);
}

RunWhen::~RunWhen() {
    delete watcher;
}

WhenModalOpens::WhenModalOpens(const char* className, std::function<void(QWidget*)> action)
    : RunWhen(
          [className] {
              const QWidget* modal = QApplication::activeModalWidget();
              return modal != nullptr && modal->inherits(className) && modal->isVisible();
          },
          [action] { action(QApplication::activeModalWidget()); }) {}
