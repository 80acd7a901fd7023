// The program itself with the test camera as its only capture driver, for the tests that run
// it as a process: the same command line and life as vistrel101.
#include "app/ProgramRun.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"

int main(int argc, char* argv[]) {
    SetCaptureDriversForTest({std::make_shared<TestCaptureDriver>("test camera", "1.0",
                                                                  std::vector<QSize>{{640, 480}})});
    return RunProgram(argc, argv);
}
