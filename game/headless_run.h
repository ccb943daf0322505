// game/headless_run.h: the real game run headless, driven by an input
// script (game/input_script.h); game/state_checksum.h tells two runs apart.
// The headless boot runs the real start-up on a game folder with the
// headless window, the headless (or recording) graphics device, scripted
// input and the virtual clock; the run then turns the real message loop,
// 1 ms of virtual time a turn, holding the script's buttons. The same
// script, seed and frame skip give the same run, bit for bit. The test
// harness (tests/harness/) and the program tollivand-run (app/run_ticks.cpp)
// are both built on it. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "game/input_script.h"
#include "game/startup.h"
#include "platform/audio.h"
#include "platform/gfx.h"

struct HeadlessOptions {
    // Runs in this folder as it stands (its own settings and save files).
    // Null: a fresh temporary folder holding links to dataDir's files but its
    // settings and save files, with the frame skip and screen size below
    // written into its settings file; removed by headlessShutdown.
    const char* gameDir = nullptr;
    const char* dataDir = nullptr;   // null: the temporary folder stays empty
    uint32_t seed = 1;
    int32_t frameSkip = 0;
    const GfxBackend* gfx = &GFX_HEADLESS;
    const AudioBackend* audio = nullptr;   // null: gAudioBackend is left as it is
    int32_t screenWidth = 640;
    int32_t screenHeight = 480;
    bool windowFails = false;              // the window cannot be created
    // Each turn first waits for a running loader thread, and so does every
    // tick's poll (gLoaderPollWaits), so a load takes no ticks and runs
    // repeat exactly, with any frame skip; false lets the ticks run on
    // meanwhile, as the game does. A save's write on the worker is joined
    // as it starts (gSaveWriteWaits), so its files are whole after the tick.
    bool waitForLoaders = true;
};

struct HeadlessRun {
    StartupResult startup;
    bool quit;           // the message loop has ended
    int32_t exitCode;    // after headlessShutdown
    char gameDir[512];
};
extern HeadlessRun gHeadlessRun;

// Links every file of the packed game folder dataDir into gameDir but the
// program and what the game writes (settings, saves), so those stay in
// gameDir. False, with the message in error, when one cannot be linked.
bool linkGameData(const char* dataDir, const char* gameDir, char* error, size_t errorSize);

// The options tollivand-run boots a script with: its seed and frame skip,
// the files of the packed game folder dataDir linked into a temporary
// folder, the OpenGL device, the headless mixer.
HeadlessOptions scriptRunOptions(const InputScript& script, const char* dataDir);

// False when the game folder could not be prepared (the message is in
// error; nothing was started and there is nothing to shut down). True once
// start-up has run: gHeadlessRun.startup tells how it went, and
// headlessShutdown is owed either way.
bool headlessBoot(const HeadlessOptions& options, char* error = nullptr, size_t errorSize = 0);

// Called after every turn of the loop that drew a frame.
using HeadlessFrameHook = void (*)(void* context);
// Runs the message loop until n more ticks have run (or the game quits),
// moving the virtual clock 1 ms per turn. script (may be null) is sorted by
// tick; the last step at or before the next tick (gUpdateCount) gives the
// held buttons.
void headlessRunTicks(int32_t n, const InputScriptStep* script = nullptr, int32_t steps = 0,
                      HeadlessFrameHook onFrame = nullptr, void* context = nullptr);
// Runs the whole script from the boot: up to its tick count.
void headlessRunScript(const InputScript& script, HeadlessFrameHook onFrame = nullptr, void* context = nullptr);
// Holds, on the scripted keyboard, the keys that binding set 0 gives these
// buttons (until changed), so the game reads them through its real poll. A
// button whose set-0 binding is no keyboard key cannot be held this way.
void headlessHoldButtons(uint16_t buttons);
// Runs the message loop until the queue is empty and one more turn ran.
void headlessPumpEvents();
void headlessPostEvent(int32_t kind, int32_t a = 0, int32_t b = 0);
// The last drawn back buffer, top row first, 0xAARRGGBB.
bool headlessReadFrame(uint32_t* argb, int32_t width, int32_t height);
int32_t headlessShutdown();
