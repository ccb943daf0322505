// Input scripts of any bytes (game/input_script.h). A script read must hold
// what the format promises (ticks in range, steps in increasing order below
// the tick count, buttons within the 14 bits) and must read back the same
// once written out again; a script refused must say why, at a line the
// input has.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/input_script.h"

static std::string writeScript(const InputScript& script) {
    std::string text = "# written again\r\nseed " + std::to_string(script.seed) + "\nframeskip " +
                       std::to_string(script.frameSkip) + "\n\tticks  " + std::to_string(script.ticks) + " # count\n";
    for (size_t i = 0; i < script.steps.size(); ++i) {
        const InputScriptStep& step = script.steps[i];
        char buttons[160];
        if (i % 2) snprintf(buttons, sizeof buttons, "0x%04X", step.buttons);
        else formatButtons(step.buttons, buttons, sizeof buttons);
        text += std::to_string(step.tick) + " " + buttons + "\n";
    }
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputScript script;
    InputScriptError error;
    if (!parseInputScript(reinterpret_cast<const char*>(data), size, script, error)) {
        if (!memchr(error.message, 0, sizeof error.message) || !error.message[0]) __builtin_trap();
        size_t lines = 1;
        for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
        if (error.line < 0 || (size_t)error.line > lines) __builtin_trap();
        if (script.ticks != 0 || !script.steps.empty()) __builtin_trap();
        return 0;
    }
    if (size > (size_t)INPUT_SCRIPT_MAX_BYTES) __builtin_trap();
    if (script.ticks < 1 || script.ticks > INPUT_SCRIPT_MAX_TICKS) __builtin_trap();
    if (script.frameSkip < 0 || script.frameSkip > INPUT_SCRIPT_FRAME_SKIP_MAX) __builtin_trap();
    if (script.steps.size() > (size_t)INPUT_SCRIPT_MAX_STEPS) __builtin_trap();
    for (size_t i = 0; i < script.steps.size(); ++i) {
        const InputScriptStep& step = script.steps[i];
        if (step.tick < 0 || step.tick >= script.ticks) __builtin_trap();
        if (i > 0 && step.tick <= script.steps[i - 1].tick) __builtin_trap();
        if (step.buttons & ~INPUT_SCRIPT_BUTTON_MASK) __builtin_trap();
    }

    std::string text = writeScript(script);
    InputScript again;
    if (!parseInputScript(text.data(), text.size(), again, error)) {
        fprintf(stderr, "written script refused: line %d: %s\n", error.line, error.message);
        __builtin_trap();
    }
    if (again.seed != script.seed || again.frameSkip != script.frameSkip || again.ticks != script.ticks ||
        again.steps.size() != script.steps.size())
        __builtin_trap();
    for (size_t i = 0; i < script.steps.size(); ++i)
        if (again.steps[i].tick != script.steps[i].tick || again.steps[i].buttons != script.steps[i].buttons)
            __builtin_trap();
    return 0;
}
