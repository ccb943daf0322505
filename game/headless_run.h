// game/headless_run.h: the real game run headless, the input scripts that
// drive it, and the checksums that tell two runs apart.
// The headless boot runs the real start-up on a game folder with the
// headless window, the headless (or recording) graphics device, scripted
// input and the virtual clock; the run then turns the real message loop,
// 1 ms of virtual time a turn, holding the script's buttons. The same
// script, seed and frame skip give the same run, bit for bit. The test
// harness (tests/harness/) and the program tollivand-run (app/run_ticks.cpp)
// are both built on it. Main thread only.
//
// Input script files: plain text, one item a line; '#' starts a comment that
// runs to the end of the line, blank lines are skipped, words are separated
// by spaces or tabs, lines end in LF or CR LF.
//
//   seed 1234          the random seed set after start-up (decimal, 0..4294967295; default 1)
//   frameskip 0        frame skip 0..4: fs + 1 ticks per drawn frame (default 0)
//   ticks 600          ticks to run, 1..INPUT_SCRIPT_MAX_TICKS (required)
//   0 none             from tick 0 on nothing is held
//   5 confirm          from tick 5 on Confirm is held ...
//   9 left+up          ... from tick 9 Left and Up ...
//   20 0x0010          ... and from tick 20 the buttons of that word
//
// A step is a tick (decimal, counted from the boot: 0 is the first tick the
// run makes) and the buttons held from that tick until the next step: "none",
// names joined by '+' (right left up down confirm cancel b6 b7 menu skill0
// skill1 skill2 skill3 skill4, engine/input.h's InputButton bits in that
// order), or a word in hex, 0x0000..0x3FFF. Steps stand in increasing tick
// order, each below the tick count; before the first step nothing is held.
// Each header line may appear once, before the first step. With frame skip
// fs the ticks of a frame all see the buttons held when it began, and a run
// ends on the first drawn frame at or after the tick count.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/startup.h"
#include "platform/audio.h"
#include "platform/gfx.h"

// ---- Input scripts ----

struct InputScriptStep {
    int32_t tick;       // from this tick on (counted from the boot) ...
    uint16_t buttons;   // ... these buttons are held
};

constexpr int32_t INPUT_SCRIPT_MAX_BYTES = 1 << 20;
constexpr int32_t INPUT_SCRIPT_MAX_LINE = 255;        // bytes, without the line end
constexpr int32_t INPUT_SCRIPT_MAX_STEPS = 100000;
constexpr int32_t INPUT_SCRIPT_MAX_TICKS = 100000000; // about 19 days of 60 ticks a second
constexpr int32_t INPUT_SCRIPT_FRAME_SKIP_MAX = 4;
constexpr uint16_t INPUT_SCRIPT_BUTTON_MASK = 0x3FFF;

struct InputScript {
    uint32_t seed = 1;
    int32_t frameSkip = 0;
    int32_t ticks = 0;
    std::vector<InputScriptStep> steps;
};

struct InputScriptError {
    int32_t line;        // 1-based; 0 for the file as a whole
    char message[160];
};

// Reads a script from bytes of any content. False with the first fault
// found (script left empty).
bool parseInputScript(const char* text, size_t size, InputScript& script, InputScriptError& error);
// Reads a script file; the error also names a file that cannot be read or is
// over INPUT_SCRIPT_MAX_BYTES.
bool loadInputScript(const char* path, InputScript& script, InputScriptError& error);
// "path:line: message", or "path: message" for line 0.
void formatInputScriptError(const char* path, const InputScriptError& error, char* out, size_t outSize);
// The buttons' names joined by '+', "none" for 0 (for writing scripts).
void formatButtons(uint16_t buttons, char* out, size_t outSize);

// ---- The boot and the run ----

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
    // meanwhile, as the game does.
    bool waitForLoaders = true;
};

struct HeadlessRun {
    StartupResult startup;
    bool quit;           // the message loop has ended
    int32_t exitCode;    // after headlessShutdown
    char gameDir[512];
};
extern HeadlessRun gHeadlessRun;

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

// ---- Checksums ----

// 64-bit FNV-1a, continued from hash.
constexpr uint64_t FNV64_OFFSET = 0xCBF29CE484222325ull;
constexpr uint64_t FNV64_PRIME = 0x00000100000001B3ull;
uint64_t fnv1a64(const void* bytes, size_t size, uint64_t hash = FNV64_OFFSET);

enum ChecksumScope : int32_t {
    CHECKSUM_ALL = 0,     // everything listed in headless_run.cpp
    // Leaves out what moves once per drawn frame (the frame counter, the
    // overlay's render counter, the captured-frame flag, the loading sign's
    // turn, the slot list's frame count), so runs that differ only in frame
    // skip can be compared.
    CHECKSUM_TICKS = 1,
};
// A hash of the game state that matters and is plain data: the frame
// loop's counters, the random state, the running game and the save image,
// fades, loaders, overlay, input, sound choices, dialogs and the scenes'
// state records. No pointer, no padding byte: stable across runs,
// processes and compilers. A state added to the game joins the list in
// headless_run.cpp (and the recorded checksums of tests/scripts/ are made
// again with tollivand-run --sections).
uint64_t headlessStateChecksum(ChecksumScope scope = CHECKSUM_ALL);
// The checksum's sections, each hashed alone, to tell where two runs part:
// fills at most max, returns how many there are.
struct StateSection {
    const char* name;
    uint64_t checksum;
};
constexpr int32_t STATE_SECTION_MAX = 32;
int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max);
// A hash of the last drawn back buffer at the screen size; false when the
// device cannot read it back (the recording device).
bool headlessFrameChecksum(uint64_t& checksum);
