// The player's buttons from the keyboard SDL sees. Controllers join later;
// the joystick subsystem is opened now so they can.
#include "platform/input.h"

#include "platform/log.h"

#include <SDL.h>

struct InputKeyBinding {
    SDL_Scancode scancode;
    uint16_t button;
};

// The default layout until bindings come from the settings.
const InputKeyBinding INPUT_DEFAULT_KEYS[] = {
    {SDL_SCANCODE_RIGHT, 0x0001}, {SDL_SCANCODE_LEFT, 0x0002}, {SDL_SCANCODE_UP, 0x0004},
    {SDL_SCANCODE_DOWN, 0x0008},  {SDL_SCANCODE_Z, 0x0010},    {SDL_SCANCODE_X, 0x0020},
    {SDL_SCANCODE_C, 0x0040},     {SDL_SCANCODE_V, 0x0080},    {SDL_SCANCODE_W, 0x0100},
};

struct SdlInputState {
    bool joystickOpen;
    bool acquired;
};
static SdlInputState sInput;

// Without joysticks the keyboard still plays, so a failure is only reported.
static bool sdlInputOpen() {
    sInput.joystickOpen = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!sInput.joystickOpen) logLine("SDL joystick: %s", SDL_GetError());
    sInput.acquired = true;
    return true;
}

static void sdlInputClose() {
    if (sInput.joystickOpen) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    sInput.joystickOpen = false;
    sInput.acquired = false;
}

static void sdlInputSetAcquired(bool acquired) { sInput.acquired = acquired; }

// The keyboard state follows the events the window pumps each pass.
static uint16_t sdlInputPollButtons() {
    if (!sInput.acquired) return 0;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    uint16_t buttons = 0;
    for (const InputKeyBinding& binding : INPUT_DEFAULT_KEYS)
        if ((int)binding.scancode < count && keys[binding.scancode]) buttons |= binding.button;
    return buttons;
}

const InputBackend INPUT_SDL = {
    "sdl",
    sdlInputOpen,
    sdlInputClose,
    sdlInputSetAcquired,
    sdlInputPollButtons,
};
