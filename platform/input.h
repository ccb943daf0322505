// platform/input.h: the keyboard and up to four game controllers.
// The engine's poll reads every device through the live backend once per
// poll, in our own key numbers and controller units; which buttons they mean
// is the engine's business. A device is read only while acquired: activation
// acquires or lets go of every device at once, and acquiring works only while
// the game is active. The SDL backend reads the real devices, controllers
// plugged in or pulled out while running included; the scripted one returns
// what a test or the headless harness says is held.
#pragma once
#include <cstdint>

// Our key numbers: the index into InputKeyboardState::held.
enum InputKey : uint8_t {
    INPUT_KEY_NONE = 0,   // no key: never held
    INPUT_KEY_UP, INPUT_KEY_DOWN, INPUT_KEY_LEFT, INPUT_KEY_RIGHT,
    INPUT_KEY_LEFT_SHIFT, INPUT_KEY_RIGHT_SHIFT, INPUT_KEY_LEFT_CTRL, INPUT_KEY_RIGHT_CTRL,
    INPUT_KEY_LEFT_ALT, INPUT_KEY_RIGHT_ALT,
    INPUT_KEY_SPACE, INPUT_KEY_ENTER, INPUT_KEY_ESCAPE, INPUT_KEY_TAB, INPUT_KEY_BACKSPACE,
    INPUT_KEY_A, INPUT_KEY_B, INPUT_KEY_C, INPUT_KEY_D, INPUT_KEY_E, INPUT_KEY_F, INPUT_KEY_G,
    INPUT_KEY_H, INPUT_KEY_I, INPUT_KEY_J, INPUT_KEY_K, INPUT_KEY_L, INPUT_KEY_M, INPUT_KEY_N,
    INPUT_KEY_O, INPUT_KEY_P, INPUT_KEY_Q, INPUT_KEY_R, INPUT_KEY_S, INPUT_KEY_T, INPUT_KEY_U,
    INPUT_KEY_V, INPUT_KEY_W, INPUT_KEY_X, INPUT_KEY_Y, INPUT_KEY_Z,
    INPUT_KEY_0, INPUT_KEY_1, INPUT_KEY_2, INPUT_KEY_3, INPUT_KEY_4,
    INPUT_KEY_5, INPUT_KEY_6, INPUT_KEY_7, INPUT_KEY_8, INPUT_KEY_9,
    INPUT_KEY_KEYPAD_0, INPUT_KEY_KEYPAD_1, INPUT_KEY_KEYPAD_2, INPUT_KEY_KEYPAD_3, INPUT_KEY_KEYPAD_4,
    INPUT_KEY_KEYPAD_5, INPUT_KEY_KEYPAD_6, INPUT_KEY_KEYPAD_7, INPUT_KEY_KEYPAD_8, INPUT_KEY_KEYPAD_9,
    INPUT_KEY_COUNT
};

struct InputKeyboardState {
    uint8_t held[INPUT_KEY_COUNT];   // 1 while the key is down
};

constexpr int32_t INPUT_JOYSTICK_MAX = 4;
constexpr int32_t INPUT_JOYSTICK_BUTTONS = 16;
constexpr int32_t INPUT_AXIS_LIMIT = 1000;   // axes run from -1000 to 1000
constexpr int32_t INPUT_HAT_CENTRED = -1;

struct InputJoystickState {
    int32_t x;         // -1000 full left .. 1000 full right
    int32_t y;         // -1000 full up .. 1000 full down
    // The first hat: hundredths of a degree clockwise from up (0 is up), or
    // centred, which a fresh record is.
    int32_t hat = INPUT_HAT_CENTRED;
    uint8_t buttons[INPUT_JOYSTICK_BUTTONS];   // 1 while held
};

struct InputBackend {
    const char* name;
    // Takes the keyboard and the controllers attached now, all acquired.
    // False only when there is no input at all.
    bool (*open)();
    void (*close)();
    // Activation: acquires every device (true) or lets go of them all.
    void (*setAcquired)(bool acquired);
    // Brings the controllers up to date: their states, and the ones plugged
    // in (they wait to be acquired) or pulled out since the last call.
    void (*refresh)();
    // A read fails while the device is not acquired (or, for a controller
    // slot, holds no device); the out state is then left alone.
    bool (*readKeyboard)(InputKeyboardState* out);
    bool (*readJoystick)(int32_t slot, InputJoystickState* out);   // slot 0..3
    // One attempt; fails while the game is inactive or the device is gone.
    bool (*acquireKeyboard)();
    bool (*acquireJoystick)(int32_t slot);
};

extern const InputBackend* gInputBackend;   // chosen at start-up
extern const InputBackend INPUT_SDL;
extern const InputBackend INPUT_SCRIPTED;

// The SDL backend's keyboard mapping: SDL's held flags, one per SDL
// scancode (count of them), into our key numbers.
void inputKeysFromSdl(const uint8_t* sdlHeld, int32_t count, InputKeyboardState* out);

// The scripted devices. Held keys and controller states stay until changed.
void inputScriptReset();   // nothing held, nothing plugged in, closed
void inputScriptSetKey(InputKey key, bool held);
void inputScriptReleaseKeys();
// Plugs the controller into an empty slot (it waits to be acquired, as a
// real one does) or changes what a plugged-in one holds.
void inputScriptSetJoystick(int32_t slot, const InputJoystickState& state);
void inputScriptUnplugJoystick(int32_t slot);
// Every device lets go, as when another program takes them while the game
// stays active; the next poll has to acquire them again.
void inputScriptLoseDevices();
