// engine/input.h: the player's buttons as words of 14 bits.
// pollInput ORs what is held into the raw word (the frame loop clears it after
// each drawn frame); each tick deriveInputEdges turns raw into pressed edges
// and the auto-repeat word (first repeat 13 ticks after the press, then
// every 5).
#pragma once
#include <cstdint>

enum InputButton : uint16_t {
    BUTTON_RIGHT = 0x0001, BUTTON_LEFT = 0x0002, BUTTON_UP = 0x0004, BUTTON_DOWN = 0x0008,
    BUTTON_CONFIRM = 0x0010, BUTTON_CANCEL = 0x0020, BUTTON_6 = 0x0040, BUTTON_7 = 0x0080,
    BUTTON_MENU = 0x0100,
};

struct InputRecord {
    uint16_t raw;
    uint16_t previous;
    uint16_t pressed;
    uint16_t repeat;
    int16_t repeatCounters[16];
};
extern InputRecord gInputState[2];   // the first is the player's; nothing feeds the second

constexpr int PAD_BINDING_COUNT = 14;   // pad0..pad8, skill0..skill4
// Two binding sets of input codes; both feed the player.
extern int16_t gPadBindings[2][PAD_BINDING_COUNT];

bool initDirectInput();
void releaseDirectInput();
void setInputAcquired(bool acquired);
void pollInput();
void deriveInputEdges(InputRecord& record);
