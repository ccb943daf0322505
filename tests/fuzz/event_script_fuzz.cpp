// Arbitrary bytes as an event script. The input has no NUL behind it, so any
// read past its end is caught. Whatever the script, the tables stay within
// their limits, every name and message line ends inside its field, every
// step that names a registered entry names one that was registered, and the
// steps end with an end step, so the event can always finish. Then the
// compiled event is played (without a device) for a bounded number of ticks
// at every speed, confirm pressed now and then, and drawn every sixteenth
// tick, so every step handler and the drawing meet the script's numbers.
// One compile per input, and no game booted: the fonts are not loaded, so
// the text is laid out but no glyph is made.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "platform/window.h"
#include "story/event_script.h"
#include "story/event.h"
#include "story/story.h"
#include "story/story_state.h"

template <size_t N>
static void checkTerminated(const char (&field)[N]) {
    if (!memchr(field, 0, N)) __builtin_trap();
}

static void checkCount(int32_t count, int32_t max) {
    if (count < 0 || count > max) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    gWindow = &WINDOW_HEADLESS;
    headlessWindowReset();
    compileEventScriptText(reinterpret_cast<const char*>(data), static_cast<int32_t>(size), "iv/fuzz.ivt");
    const EventScriptCounts& n = gEventScriptCounts;
    checkCount(n.steps, EVENT_COMMAND_MAX);
    checkCount(n.sounds, EVENT_SOUND_MAX);
    checkCount(n.pictures, EVENT_PICTURE_MAX);
    checkCount(n.backgrounds, EVENT_BACKGROUND_MAX);
    checkCount(n.meshes, EVENT_MESH_MAX);
    checkCount(n.messageLines, EVENT_MESSAGE_LINE_MAX);
    bool ends = false;
    for (int32_t i = 0; i < EVENT_COMMAND_MAX; i++) {
        const EventCommand& c = gEventCommands[i];
        if ((i < n.steps) != (c.handler != nullptr)) __builtin_trap();
        ends = ends || c.handler == eventCmdEnd;
        if (c.handler == eventCmdSe && (c.a < 0 || c.a >= n.sounds)) __builtin_trap();
        if (c.handler == eventCmdBgSet && (c.a < 0 || c.a >= n.backgrounds)) __builtin_trap();
        if (c.handler == eventCmdShowMessage && (c.a < 0 || c.b < 1 || c.a + c.b > n.messageLines)) __builtin_trap();
    }
    if (!ends) __builtin_trap();
    for (const auto& name : gEventResources.soundNames) checkTerminated(name);
    for (const EventPicture& p : gEventResources.pictures) checkTerminated(p.name);
    for (const EventBackground& b : gEventResources.backgrounds) checkTerminated(b.name);
    for (const EventMesh& m : gEventResources.meshes) checkTerminated(m.name);
    for (const auto& line : gEventMessageLines) checkTerminated(line);

    resetEventPlayer();
    gOptionTextSkip = 1;
    const uint16_t HELD[3] = {0, BUTTON_CANCEL, BUTTON_SUB};
    for (int32_t t = 0; t < 240; ++t) {
        gInputState[0].raw = HELD[(t / 80) % 3];
        gInputState[0].pressed = t % 7 == 0 ? BUTTON_CONFIRM : 0;
        if (t == 200) requestEventSkip();
        int32_t ended = stepEvent();
        // Drawn now and then: the drawing meets the script's numbers on any
        // frame, and a frame's text costs more than the compile.
        if (t % 16 == 0 || ended) drawEvent();
        if (gEventScene.programCounter < 0 || gEventScene.programCounter > n.steps) __builtin_trap();
        if (gEventScene.revealCounter < 0 || gEventScene.revealCounter > EVENT_REVEAL_MAX) __builtin_trap();
        if (gEventScene.windowCounter < 0 || gEventScene.windowCounter > EVENT_WINDOW_OPEN) __builtin_trap();
        if (ended) break;
    }
    gInputState[0] = InputRecord{};
    resetDialogState();
    return 0;
}
