#pragma once
// Driving the dialogs in tests: controls found by object name, typed into and clicked, and
// modal windows answered from their own event loop.
#include "tests/support/QtPrinters.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// The child of root named objectName; the test fails when there is none of that type.
template <typename T> T* Control(const QWidget* root, const char* objectName) {
    T* control = root->findChild<T*>(QString::fromLatin1(objectName));
    EXPECT_NE(control, nullptr) << "no control " << objectName;
    return control;
}

// Types text into widget key by key, Japanese included.
void TypeKeys(QWidget* widget, const QString& text);

// Replaces the text of the box by typing text into it.
inline void Type(const QWidget* root, const char* objectName, const QString& text) {
    auto* box = Control<QLineEdit>(root, objectName);
    if (box == nullptr)
        return;
    box->clear();
    TypeKeys(box, text);
}

inline void Click(const QWidget* root, const char* objectName) {
    if (auto* button = Control<QPushButton>(root, objectName))
        QTest::mouseClick(button, Qt::LeftButton);
}

// Shows window non-modally and waits until it has the keyboard focus.
bool ShowActive(QWidget* window);

// Pumps events until box has selected its whole (non-empty) text, for a second at most.
bool PumpUntilSelected(const QLineEdit* box);

// Runs action once, from the event loop, as soon as ready answers true while it lives: inside
// a modal window's loop, or inside a wait that pumps events. Never true: action stays unrun.
class RunWhen {
  public:
    RunWhen(std::function<bool()> ready, std::function<void()> action);
    ~RunWhen();
    RunWhen(const RunWhen&) = delete;
    RunWhen& operator=(const RunWhen&) = delete;

    bool Ran() const { return ran; }

  private:
    QObject* watcher;
    bool ran = false;
};

// Runs action once on the next modal window of class className (a QObject class name) that
// opens while it lives, from inside that window's own event loop. A window that never opens
// leaves action unrun.
class WhenModalOpens : public RunWhen {
  public:
    WhenModalOpens(const char* className, std::function<void(QWidget*)> action);
};
