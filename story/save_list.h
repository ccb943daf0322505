// story/save_list.h: the list of the 100 save slots of the file image, with a
// summary of each saved game, browsed three rows at a time. The title uses it
// to load a game or pick the cleared game New Game+ and Survival continue
// from; the field menu and the after-ending save use it to pick the slot to
// save into. The list itself (gTitle.slotList) is rebuilt each time a chooser
// opens; the screen that opened it reads confirm and cancel and then calls
// navigateSlotList once per tick. Main thread.
#pragma once
#include <cstdint>

#include "story/story_state.h"

constexpr int32_t SLOT_LIST_VISIBLE = 3;
constexpr int32_t SLOT_LIST_SCROLL_END = 5;   // a scroll animation runs to +-5 ticks
constexpr float SLOT_ROW_HEIGHT = 140.0f;


// slotList = 0..99.
void listAllSaveSlots();
// slotList = the cleared games with a True Card, in slot order (the card
// flags come from the title's last scan); the rest of the list is 0.
void listClearDataSlots();

// One tick of the list's movement: a running scroll animation advances (and
// moves top when it ends) and reads no input; otherwise the first of left
// (page back), right (page forward), up and down in the auto-repeat word that
// can move does. Returns 1 when the cursor moved (the caller plays the cursor
// sound).
struct SlotListCursor {
    int32_t& cursor;
    int32_t& top;
    int32_t& scrollByOne;
    int32_t& scrollByThree;
};
int32_t navigateSlotList(const SlotListCursor& list, int32_t count, uint16_t repeat);

// The slot qualifies for the card list: a cleared game holding a True Card.
bool isCardSlot(int32_t slot);

// Draws the list with its left edge at x: five rows around the top (the
// ones scrolling in and out), and the neighbouring pages while the list
// stands fully open at x 0. pageScroll and rowScroll are the two scroll
// animations; flash (0..30) lights the cursor row after a choice.
void drawSaveSlotList(float x, int32_t cursor, int32_t top, int32_t pageScroll, int32_t rowScroll, int32_t flash);

// Pure helpers of the drawing, for the tests.
struct SlotRowLook {
    int32_t plateGrey;
    int32_t plateAlpha;
    int32_t textGrey;
    int32_t textAlpha;
};
SlotRowLook slotRowLook(bool underCursor, bool dimmed, int32_t listFrame, int32_t flash);
// "TIME %3d:%02d:%02d" of a play time in ticks; 999:59:59 from 1,000 hours on.
void formatPlayTime(char* out, int32_t size, int32_t playTicks);
// The day shown for a 0-based date: date + 1, at most 9,999.
int32_t shownDayNumber(int32_t date);
// The play-mode tag of a slot, or null for story play.
const char* playModeTag(int32_t playMode, int32_t survivalHell);
