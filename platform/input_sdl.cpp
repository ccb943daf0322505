// The real keyboard and controllers through SDL.
// The keyboard state follows the events the window pumps; the controllers
// are brought up to date only by refresh, at each poll, so a controller's
// state changes between polls and never during one. Controllers fill the
// lowest free slot and keep it until pulled out, so the others keep their
// numbers (and bindings) when one goes.
#include "platform/input.h"

#include "platform/log.h"

#include <SDL.h>

struct SdlInputKey {
    SDL_Scancode scancode;
    InputKey key;
};

// Each of our keys on the SDL scancode that types it.
static const SdlInputKey SDL_INPUT_KEYS[] = {
    {SDL_SCANCODE_UP, INPUT_KEY_UP},
    {SDL_SCANCODE_DOWN, INPUT_KEY_DOWN},
    {SDL_SCANCODE_LEFT, INPUT_KEY_LEFT},
    {SDL_SCANCODE_RIGHT, INPUT_KEY_RIGHT},
    {SDL_SCANCODE_LSHIFT, INPUT_KEY_LEFT_SHIFT},
    {SDL_SCANCODE_RSHIFT, INPUT_KEY_RIGHT_SHIFT},
    {SDL_SCANCODE_LCTRL, INPUT_KEY_LEFT_CTRL},
    {SDL_SCANCODE_RCTRL, INPUT_KEY_RIGHT_CTRL},
    {SDL_SCANCODE_LALT, INPUT_KEY_LEFT_ALT},
    {SDL_SCANCODE_RALT, INPUT_KEY_RIGHT_ALT},
    {SDL_SCANCODE_SPACE, INPUT_KEY_SPACE},
    {SDL_SCANCODE_RETURN, INPUT_KEY_ENTER},
    {SDL_SCANCODE_ESCAPE, INPUT_KEY_ESCAPE},
    {SDL_SCANCODE_TAB, INPUT_KEY_TAB},
    {SDL_SCANCODE_BACKSPACE, INPUT_KEY_BACKSPACE},
    {SDL_SCANCODE_A, INPUT_KEY_A},
    {SDL_SCANCODE_B, INPUT_KEY_B},
    {SDL_SCANCODE_C, INPUT_KEY_C},
    {SDL_SCANCODE_D, INPUT_KEY_D},
    {SDL_SCANCODE_E, INPUT_KEY_E},
    {SDL_SCANCODE_F, INPUT_KEY_F},
    {SDL_SCANCODE_G, INPUT_KEY_G},
    {SDL_SCANCODE_H, INPUT_KEY_H},
    {SDL_SCANCODE_I, INPUT_KEY_I},
    {SDL_SCANCODE_J, INPUT_KEY_J},
    {SDL_SCANCODE_K, INPUT_KEY_K},
    {SDL_SCANCODE_L, INPUT_KEY_L},
    {SDL_SCANCODE_M, INPUT_KEY_M},
    {SDL_SCANCODE_N, INPUT_KEY_N},
    {SDL_SCANCODE_O, INPUT_KEY_O},
    {SDL_SCANCODE_P, INPUT_KEY_P},
    {SDL_SCANCODE_Q, INPUT_KEY_Q},
    {SDL_SCANCODE_R, INPUT_KEY_R},
    {SDL_SCANCODE_S, INPUT_KEY_S},
    {SDL_SCANCODE_T, INPUT_KEY_T},
    {SDL_SCANCODE_U, INPUT_KEY_U},
    {SDL_SCANCODE_V, INPUT_KEY_V},
    {SDL_SCANCODE_W, INPUT_KEY_W},
    {SDL_SCANCODE_X, INPUT_KEY_X},
    {SDL_SCANCODE_Y, INPUT_KEY_Y},
    {SDL_SCANCODE_Z, INPUT_KEY_Z},
    {SDL_SCANCODE_0, INPUT_KEY_0},
    {SDL_SCANCODE_1, INPUT_KEY_1},
    {SDL_SCANCODE_2, INPUT_KEY_2},
    {SDL_SCANCODE_3, INPUT_KEY_3},
    {SDL_SCANCODE_4, INPUT_KEY_4},
    {SDL_SCANCODE_5, INPUT_KEY_5},
    {SDL_SCANCODE_6, INPUT_KEY_6},
    {SDL_SCANCODE_7, INPUT_KEY_7},
    {SDL_SCANCODE_8, INPUT_KEY_8},
    {SDL_SCANCODE_9, INPUT_KEY_9},
    {SDL_SCANCODE_KP_0, INPUT_KEY_KEYPAD_0},
    {SDL_SCANCODE_KP_1, INPUT_KEY_KEYPAD_1},
    {SDL_SCANCODE_KP_2, INPUT_KEY_KEYPAD_2},
    {SDL_SCANCODE_KP_3, INPUT_KEY_KEYPAD_3},
    {SDL_SCANCODE_KP_4, INPUT_KEY_KEYPAD_4},
    {SDL_SCANCODE_KP_5, INPUT_KEY_KEYPAD_5},
    {SDL_SCANCODE_KP_6, INPUT_KEY_KEYPAD_6},
    {SDL_SCANCODE_KP_7, INPUT_KEY_KEYPAD_7},
    {SDL_SCANCODE_KP_8, INPUT_KEY_KEYPAD_8},
    {SDL_SCANCODE_KP_9, INPUT_KEY_KEYPAD_9},
};

// SDL's hat position (up 1, right 2, down 4, left 8) in hundredths of a
// degree; opposite directions together are no direction.
static const int32_t SDL_HAT_HUNDREDTHS[16] = {
    INPUT_HAT_CENTRED, 0,                 9000,              4500,
    18000,             INPUT_HAT_CENTRED, 13500,             INPUT_HAT_CENTRED,
    27000,             31500,             INPUT_HAT_CENTRED, INPUT_HAT_CENTRED,
    22500,             INPUT_HAT_CENTRED, INPUT_HAT_CENTRED, INPUT_HAT_CENTRED,
};

// Devices that would not open are not tried again at every poll.
constexpr int32_t SDL_INPUT_FAILED_MAX = 8;

struct SdlJoystickSlot {
    SDL_Joystick* joystick;   // null: empty slot
    SDL_JoystickID id;
    bool acquired;
};

struct SdlInputState {
    bool joystickOpen;
    bool active;   // the keyboard is ours exactly while the game is active
    SdlJoystickSlot slots[INPUT_JOYSTICK_MAX];
    SDL_JoystickID failed[SDL_INPUT_FAILED_MAX];
    int32_t failedNext;
};
static SdlInputState sInput;   // main thread only

void inputKeysFromSdl(const uint8_t* sdlHeld, int32_t count, InputKeyboardState* out) {
    *out = InputKeyboardState{};
    for (const SdlInputKey& k : SDL_INPUT_KEYS)
        if ((int32_t)k.scancode < count && sdlHeld[k.scancode]) out->held[k.key] = 1;
}

static bool isOpenOrFailed(SDL_JoystickID id) {
    for (const SdlJoystickSlot& slot : sInput.slots)
        if (slot.joystick && slot.id == id) return true;
    for (SDL_JoystickID failed : sInput.failed)
        if (failed == id) return true;
    return false;
}

static int32_t freeSlot() {
    for (int32_t i = 0; i < INPUT_JOYSTICK_MAX; ++i)
        if (!sInput.slots[i].joystick) return i;
    return -1;
}

static void openNewJoysticks(bool acquired) {
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        int32_t slot = freeSlot();
        if (slot < 0) return;
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        if (id < 0 || isOpenOrFailed(id)) continue;
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (!joystick) {
            logLine("SDL joystick %d: %s", i, SDL_GetError());
            sInput.failed[sInput.failedNext] = id;
            sInput.failedNext = (sInput.failedNext + 1) % SDL_INPUT_FAILED_MAX;
            continue;
        }
        sInput.slots[slot] = SdlJoystickSlot{joystick, id, acquired};
    }
}

// Without controllers the keyboard still plays, so a failure is only logged.
static bool sdlInputOpen() {
    sInput = SdlInputState{};
    for (SDL_JoystickID& failed : sInput.failed) failed = -1;
    sInput.active = true;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        logLine("SDL joystick: %s", SDL_GetError());
        return true;
    }
    sInput.joystickOpen = true;
    // Nobody reads controller events, and without them SDL leaves the
    // updating to refresh.
    SDL_JoystickEventState(SDL_IGNORE);
    openNewJoysticks(true);
    return true;
}

static void sdlInputClose() {
    for (SdlJoystickSlot& slot : sInput.slots)
        if (slot.joystick) SDL_JoystickClose(slot.joystick);
    if (sInput.joystickOpen) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    sInput = SdlInputState{};
}

static void sdlInputSetAcquired(bool acquired) {
    sInput.active = acquired;
    for (SdlJoystickSlot& slot : sInput.slots) slot.acquired = acquired && slot.joystick;
}

static void sdlInputRefresh() {
    if (!sInput.joystickOpen) return;
    SDL_JoystickUpdate();
    for (SdlJoystickSlot& slot : sInput.slots) {
        if (slot.joystick && !SDL_JoystickGetAttached(slot.joystick)) {
            SDL_JoystickClose(slot.joystick);
            slot = SdlJoystickSlot{};
        }
    }
    openNewJoysticks(false);
}

static bool sdlInputReadKeyboard(InputKeyboardState* out) {
    if (!sInput.active) return false;
    int count = 0;
    const Uint8* held = SDL_GetKeyboardState(&count);
    inputKeysFromSdl(held, count, out);
    return true;
}

// SDL's -32768..32767 onto -1000..1000, the middle staying 0.
static int32_t scaledAxis(SDL_Joystick* joystick, int axis) {
    if (axis >= SDL_JoystickNumAxes(joystick)) return 0;
    int32_t value = SDL_JoystickGetAxis(joystick, axis);
    return (value + 32768) * (2 * INPUT_AXIS_LIMIT) / 65535 - INPUT_AXIS_LIMIT;
}

static bool sdlInputReadJoystick(int32_t slot, InputJoystickState* out) {
    if (slot < 0 || slot >= INPUT_JOYSTICK_MAX) return false;
    const SdlJoystickSlot& s = sInput.slots[slot];
    if (!s.joystick || !s.acquired) return false;
    out->x = scaledAxis(s.joystick, 0);
    out->y = scaledAxis(s.joystick, 1);
    out->hat = INPUT_HAT_CENTRED;
    if (SDL_JoystickNumHats(s.joystick) > 0) out->hat = SDL_HAT_HUNDREDTHS[SDL_JoystickGetHat(s.joystick, 0) & 15];
    int buttons = SDL_JoystickNumButtons(s.joystick);
    for (int b = 0; b < INPUT_JOYSTICK_BUTTONS; ++b)
        out->buttons[b] = b < buttons && SDL_JoystickGetButton(s.joystick, b) ? 1 : 0;
    return true;
}

static bool sdlInputAcquireKeyboard() { return sInput.active; }

static bool sdlInputAcquireJoystick(int32_t slot) {
    if (!sInput.active || slot < 0 || slot >= INPUT_JOYSTICK_MAX || !sInput.slots[slot].joystick) return false;
    sInput.slots[slot].acquired = true;
    return true;
}

const InputBackend INPUT_SDL = {
    "sdl",
    sdlInputOpen,
    sdlInputClose,
    sdlInputSetAcquired,
    sdlInputRefresh,
    sdlInputReadKeyboard,
    sdlInputReadJoystick,
    sdlInputAcquireKeyboard,
    sdlInputAcquireJoystick,
};
