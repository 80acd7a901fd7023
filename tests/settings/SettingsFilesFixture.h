#pragma once
// Shared by the settings file tests: a scratch program folder, program-wide objects back at
// their start-up values, a fixed 1024 × 768 screen and a main window that only remembers.
#include "settings/ProgramObjects.h"
#include "settings/WindowPlacement.h"

#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "platform/Screen.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScopedHook.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QStringList>
#include <gtest/gtest.h>

// text followed by a comment line that makes it bytes long in code page 932.
inline QString PaddedTo(const QString& text, qsizetype bytes) {
    const qsizetype pad = bytes - ToCodePage932(text).size() - 4; // "//" and CR LF
    return text + QStringLiteral("//") + QString(pad, u'x') + QStringLiteral("\r\n");
}

// The largest settings file that is read, and the smallest that counts as damaged.
constexpr qsizetype LargestSettingsFile = qsizetype{16} << 20;

class FakeWindowPlacement : public WindowPlacement {
  public:
    int WindowState() const override { return state; }
    void SetWindowState(int newState) override {
        state = newState;
        calls << QStringLiteral("state");
    }
    QRect NormalBounds() const override { return bounds; }
    void SetNormalBounds(const QRect& newBounds) override {
        bounds = newBounds;
        calls << QStringLiteral("bounds");
    }

    int state = 0;
    QRect bounds{30, 40, 320, 240}; // the window's design placement
    QStringList calls;
};

class SettingsFilesFixture : public ::testing::Test {
  protected:
    SettingsFilesFixture() { ResetProgramObjects(); }
    ~SettingsFilesFixture() override { ResetProgramObjects(); }

    QString Options() const { return OptionsFolder(); }
    // A file below options/, written or read as code page 932 text.
    void WriteOption(const QString& name, const QString& text) const {
        folder.Write(QStringLiteral("options/") + name, ToCodePage932(text));
    }
    QByteArray ReadOption(const QString& name) const {
        return folder.Read(QStringLiteral("options/") + name);
    }
    QString OptionText(const QString& name) const { return FromCodePage932(ReadOption(name)); }

    ScratchProgramFolder folder;
    FakeWindowPlacement window;
    ScopedHook<std::optional<ScreenMetrics>> screen{&SetScreenMetrics,
                                                    ScreenMetrics{1024, 768, 15.0, 15.0}};
    ScopedHook<WindowPlacement*> placement{&SetMainWindowPlacement, &window};
};
