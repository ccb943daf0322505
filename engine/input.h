// engine/input.h: the player's buttons as words of 14 bits.
// Every physical input has a code: 1..40 a keyboard key by KEY_CODE_TABLE,
// 40 + 20 * j + k input k of controller j (k 0 up, 1 right, 2 down, 3 left,
// 4..19 its buttons 0..15); 40 is therefore controller 0's up. Two binding
// sets give each button a code, and both feed the player, so the keyboard
// and a controller play at once.
// pollInput ORs what is held into the raw word (the frame loop clears it after
// each drawn frame); each tick deriveInputEdges turns raw into pressed edges
// and the auto-repeat word (first repeat 13 ticks after the press, then
// every 5). Main thread only.
#pragma once
#include <cstdint>

#include "platform/input.h"

enum InputButton : uint16_t {
    BUTTON_RIGHT = 0x0001, BUTTON_LEFT = 0x0002, BUTTON_UP = 0x0004, BUTTON_DOWN = 0x0008,
    BUTTON_CONFIRM = 0x0010, BUTTON_CANCEL = 0x0020,
    BUTTON_SUB = 0x0040,    // button 6: inspect an item, switch the skill, hurry a scene's text
    BUTTON_VIEW = 0x0080,   // button 7: turn the shop's camera
    BUTTON_MENU = 0x0100, BUTTON_SKILL_0 = 0x0200, BUTTON_SKILL_1 = 0x0400, BUTTON_SKILL_2 = 0x0800,
    BUTTON_SKILL_3 = 0x1000, BUTTON_SKILL_4 = 0x2000,
};

struct InputRecord {
    uint16_t raw;
    uint16_t previous;
    uint16_t pressed;
    uint16_t repeat;
    int16_t repeatCounters[16];
};
extern InputRecord gInputState[2];
// Back to the values a fresh process starts with (a new boot in the same process).
void resetInputState();   // the first is the player's; nothing feeds the second

constexpr int PAD_BINDING_COUNT = 14;   // pad0..pad8, skill0..skill4
// Two binding sets of input codes; both feed the player.
extern int16_t gPadBindings[2][PAD_BINDING_COUNT];
// Set 0 the keyboard (arrows, Z, X, C, V, W), set 1 the first controller's
// directions and buttons 0 to 4; skills unbound.
extern const int16_t PAD_BINDING_DEFAULTS[2][PAD_BINDING_COUNT];
// The button each binding slot sets, in binding order.
extern const uint16_t PAD_BINDING_BITS[PAD_BINDING_COUNT];

constexpr int KEY_CODE_COUNT = 40;
// The key of each keyboard code 1..40 (entry code - 1); the last is no key.
extern const InputKey KEY_CODE_TABLE[KEY_CODE_COUNT];

constexpr int CONTROLLER_CODE_BASE = 40;
constexpr int CONTROLLER_CODE_STRIDE = 20;   // inputs per controller

// Opens the input backend: keyboard and controllers, acquired (start-up).
bool initInputDevices();
void releaseInputDevices();
// Activation: acquires every device, or lets go of them all.
void setInputAcquired(bool acquired);
void pollInput();
void deriveInputEdges(InputRecord& record);
