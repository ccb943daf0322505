// Keyboard and controllers whose states the harness or a test sets. They are
// acquired and let go like real devices, so a scripted run goes through the
// same poll, activation and hot-plug paths as a real one.
#include "platform/input.h"

const InputBackend* gInputBackend = nullptr;

struct ScriptedInput {
    bool active;
    bool keyboardAcquired;
    InputKeyboardState keys;
    bool joystickPresent[INPUT_JOYSTICK_MAX];
    bool joystickAcquired[INPUT_JOYSTICK_MAX];
    InputJoystickState joysticks[INPUT_JOYSTICK_MAX];
};
static ScriptedInput sScript;   // main thread only

static bool validSlot(int32_t slot) { return slot >= 0 && slot < INPUT_JOYSTICK_MAX; }

static void scriptedSetAcquired(bool acquired) {
    sScript.active = acquired;
    sScript.keyboardAcquired = acquired;
    for (int32_t j = 0; j < INPUT_JOYSTICK_MAX; ++j) sScript.joystickAcquired[j] = acquired && sScript.joystickPresent[j];
}

static bool scriptedOpen() {
    scriptedSetAcquired(true);
    return true;
}

static void scriptedClose() { scriptedSetAcquired(false); }

// The scripted states are already current.
static void scriptedRefresh() {}

static bool scriptedReadKeyboard(InputKeyboardState* out) {
    if (!sScript.keyboardAcquired) return false;
    *out = sScript.keys;
    return true;
}

static bool scriptedReadJoystick(int32_t slot, InputJoystickState* out) {
    if (!validSlot(slot) || !sScript.joystickAcquired[slot]) return false;
    *out = sScript.joysticks[slot];
    return true;
}

static bool scriptedAcquireKeyboard() {
    if (!sScript.active) return false;
    sScript.keyboardAcquired = true;
    return true;
}

static bool scriptedAcquireJoystick(int32_t slot) {
    if (!sScript.active || !validSlot(slot) || !sScript.joystickPresent[slot]) return false;
    sScript.joystickAcquired[slot] = true;
    return true;
}

void inputScriptReset() { sScript = ScriptedInput{}; }

void inputScriptSetKey(InputKey key, bool held) {
    if (key != INPUT_KEY_NONE && key < INPUT_KEY_COUNT) sScript.keys.held[key] = held ? 1 : 0;
}

void inputScriptReleaseKeys() { sScript.keys = InputKeyboardState{}; }

void inputScriptSetJoystick(int32_t slot, const InputJoystickState& state) {
    if (!validSlot(slot)) return;
    sScript.joystickPresent[slot] = true;
    sScript.joysticks[slot] = state;
}

void inputScriptUnplugJoystick(int32_t slot) {
    if (!validSlot(slot)) return;
    sScript.joystickPresent[slot] = false;
    sScript.joystickAcquired[slot] = false;
    sScript.joysticks[slot] = InputJoystickState{};
}

void inputScriptLoseDevices() {
    sScript.keyboardAcquired = false;
    for (bool& acquired : sScript.joystickAcquired) acquired = false;
}

const InputBackend INPUT_SCRIPTED = {
    "scripted",
    scriptedOpen,
    scriptedClose,
    scriptedSetAcquired,
    scriptedRefresh,
    scriptedReadKeyboard,
    scriptedReadJoystick,
    scriptedAcquireKeyboard,
    scriptedAcquireJoystick,
};
