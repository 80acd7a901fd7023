#pragma once
// A started main window in a scratch program folder, with test capture drivers in place of
// the cameras and a mail check that only counts its runs. Menu items are found by name.
#include "app/Form1.h"
#include "capture/modCapture.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QAction>
#include <gtest/gtest.h>
#include <memory>

// A test driver that counts how often it was opened: every rebuild of the capture window
// opens its driver once.
class CountingCaptureDriver : public TestCaptureDriver {
  public:
    using TestCaptureDriver::TestCaptureDriver;
    std::unique_ptr<CaptureStream> Open() override {
        ++opens;
        return TestCaptureDriver::Open();
    }
    int opens = 0;
};

struct MainWindowFixture : testing::Test {
    ScratchProgramFolder folder;
    MsgBoxRecorder boxes;
    int checks = 0;
    std::unique_ptr<Form1> form;

    // Lists drivers as the installed capture drivers and starts the window.
    void Start(std::vector<std::shared_ptr<CaptureDriver>> drivers) {
        SetCaptureDriversForTest(std::move(drivers));
        ASSERT_TRUE(folder.CopyBuiltLibraries());
        form = std::make_unique<Form1>([this] { ++checks; });
        ASSERT_TRUE(form->Form_Load());
    }
    void TearDown() override {
        DestroyCapture();
        form.reset();
        SetCaptureDriversForTest({});
        ResetProgramObjects();
    }
    // The menu item named objectName; the test fails without one.
    QAction* Item(const char* objectName) const {
        auto* item = form->findChild<QAction*>(QString::fromLatin1(objectName));
        EXPECT_NE(item, nullptr) << "no menu item " << objectName;
        return item;
    }
};
