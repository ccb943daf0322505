// tests/harness/harness.h: boots the real game headless.
// The real start-up runs on a game folder with the headless window, the
// recording (or the headless OpenGL) graphics device, scripted input and the
// virtual clock; then the harness runs ticks and their frames. The same
// seed, frame skip and input give the same run, bit for bit. The work is done by the
// game's headless run (game/headless_run.h), which tollivand-run shares; the
// harness adds the packed sample data of this build and stops the test
// program when no game folder can be made.
#pragma once
#include <cstdint>

#include "game/headless_run.h"
#include "game/startup.h"
#include "platform/gfx.h"

// Holds, on the scripted keyboard, the keys that binding set 0 gives these
// buttons (until changed), so the game reads them through its real poll. A
// button whose set-0 binding is no keyboard key cannot be held this way.
void harnessHoldButtons(uint16_t buttons);

struct HarnessOptions {
    // null: a fresh temporary folder holding links to dataDir's files, with
    // the frame skip and screen size below written into its settings file.
    const char* gameDir = nullptr;
    // The packed sample data; null: the temporary folder stays empty.
    const char* dataDir = TOLLI_GAME_DATA_DIR;
    uint32_t seed = 1;
    int32_t frameSkip = 0;
    // The recording device calls every draw function but draws nothing, so
    // the game's state is what OpenGL would give, many times faster; a test
    // that reads the frame back asks for GFX_HEADLESS (harnessDrawingOptions).
    const GfxBackend* gfx = &GFX_RECORDING;
    // The sound device (AUDIO_HEADLESS plays into a ring by virtual time);
    // null leaves the one before, none at first, so the game runs silent.
    const AudioBackend* audio = nullptr;
    int32_t screenWidth = 640;
    int32_t screenHeight = 480;
    bool windowFails = false;                // the window cannot be created
    // Each turn first waits for a running loader thread, so a load takes no
    // ticks and runs repeat exactly; false lets the ticks run on meanwhile.
    bool waitForLoaders = true;
};

// startup, quit (the message loop has ended), exitCode (after
// harnessShutdown) and gameDir.
using HarnessRun = HeadlessRun;
inline HarnessRun& gHarness = gHeadlessRun;

// The options of a run whose frames are looked at: drawn with OpenGL.
inline HarnessOptions harnessDrawingOptions() {
    HarnessOptions options;
    options.gfx = &GFX_HEADLESS;
    return options;
}

StartupResult harnessBoot(const HarnessOptions& options);
// Runs the message loop until n more ticks have run (or the game quits),
// moving the virtual clock 1 ms per turn. script (may be null) is sorted by
// tick; the last step at or before the next tick gives the held buttons.
void harnessRunTicks(int32_t n, const InputScriptStep* script = nullptr, int32_t steps = 0);
// Runs ticks one at a time while `busy` holds (a loader thread running
// beside the ticks), up to limit ticks; the ticks run, or -1 when it still
// held. Between ticks the loader gets a little real time, as it would beside
// a game's sixtieth of a second, so the limit does not hang on how fast the
// device draws.
int32_t harnessRunTicksWhile(bool (*busy)(), int32_t limit = 100000);
// Runs the message loop until the queue is empty and one more turn ran.
void harnessPumpEvents();
void harnessPostEvent(int32_t kind, int32_t a = 0, int32_t b = 0);
// The last drawn back buffer, top row first, 0xAARRGGBB.
bool harnessReadFrame(uint32_t* argb, int32_t width, int32_t height);
int32_t harnessShutdown();
// Confirms through every story scene that runs or starts until none has run
// for quietTicks ticks in a row (a New Game's shop floor starts two); the
// ticks it ran, or -1 when scenes still ran after limit ticks. Leaves no
// button held.
int32_t harnessPlayScenesThrough(int32_t quietTicks = 30, int32_t limit = 20000);
