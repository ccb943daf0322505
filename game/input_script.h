// game/input_script.h: the input scripts that drive a headless run: read
// from a file of any content, refused with the line and the fault.
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
