// game/startup.h: the program's outermost frame: start-up in its fixed order,
// the message loop, shut-down and the return to the title.
// The real program runs winMain; the headless harness runs the same pieces
// (startupApp, messageLoopStep, shutdownAfterLoop) under a virtual clock.
#pragma once
#include <cstdint>

// The order start-up and shut-down ran their steps in, for the tests.
constexpr int SHELL_TRACE_MAX = 64;
struct ShellTrace {
    const char* steps[SHELL_TRACE_MAX];
    int32_t count;
};
extern ShellTrace gShellTrace;

enum StartupResult : int32_t {
    STARTUP_OK = 0,
    STARTUP_NO_WINDOW,     // nothing else was made; exit at once
    STARTUP_NO_ARCHIVE,    // shut down without writing the settings
    STARTUP_NO_GRAPHICS,   // message shown; full shut-down
};

int winMain();
// gameDir: the folder holding the program's data and settings (with or
// without a trailing '/'); null means the program's own folder.
StartupResult startupApp(const char* gameDir);
// One turn of the message loop: one event, or one frame, or a wait.
// False once the quit event has been taken.
bool messageLoopStep();
int32_t shutdownAfterLoop(StartupResult result);

bool createMainWindow();
int shutdownApp();
void returnToTitle();
