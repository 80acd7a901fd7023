#pragma once
// The whole life of the program, from its command line to its exit code: main() is this, and
// the tests run it in a child process with a test camera.

// Reads the command line, chooses the platform (offscreen for a run without a window, before
// the application object exists, so that no display is needed), then runs as asked: the
// window, --headless, --check-once or --set-password / --set-smtp-password. Answers the exit
// code: 0, 1 when start-up or the check could not run, ExitUsage, ExitConfig.
int RunProgram(int argc, char* argv[]);
