// platform/input.h: where the player's buttons come from.
// The headless backend returns the word the harness scripted for the current
// tick; the SDL backend reads the keyboard and controllers.
#pragma once
#include <cstdint>

struct InputBackend {
    const char* name;
    bool (*open)();
    void (*close)();
    void (*setAcquired)(bool acquired);
    uint16_t (*pollButtons)();   // button bits held right now
};

extern const InputBackend* gInputBackend;   // chosen at start-up
extern const InputBackend INPUT_SDL;
extern const InputBackend INPUT_SCRIPTED;

void inputScriptSetButtons(uint16_t buttons);   // held until changed
