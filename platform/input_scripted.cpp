// Buttons the harness scripts, one word per tick; nothing else changes them.
#include "platform/input.h"

const InputBackend* gInputBackend = nullptr;

static uint16_t sScriptedButtons = 0;   // main thread only

static bool scriptedOpen() { return true; }
static void scriptedClose() {}
// The script already says what the player holds, focus or not.
static void scriptedSetAcquired(bool) {}
static uint16_t scriptedPollButtons() { return sScriptedButtons; }

void inputScriptSetButtons(uint16_t buttons) { sScriptedButtons = buttons; }

const InputBackend INPUT_SCRIPTED = {
    "scripted",
    scriptedOpen,
    scriptedClose,
    scriptedSetAcquired,
    scriptedPollButtons,
};
