// The save slot list: which slots the title's choosers list and admit, the
// list's paging and scrolling, and how its rows look.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/sound.h"
#include "story/game_records.h"
#include "story/save_list.h"
#include "story/title.h"
#include "tests/story/title_fixture.h"

namespace {

using SaveList = TitleGame;

TEST_F(SaveList, LoadOpensAtTheLastSaveSlotAndAdmitsOnlyPlayedSlots) {
    for (int32_t k = 0; k < 5; ++k) playedSlot(k);
    playedSlot(50);
    testSaveImage().header.lastSaveSlot = 51;
    boot();
    chooseEntry(TITLE_LOAD);
    EXPECT_EQ(gSlotListCount, SAVE_SLOT_COUNT);
    EXPECT_EQ(gTitle.cardListMode, 0);
    EXPECT_EQ(gTitle.rowCursor, 51);
    EXPECT_EQ(gTitle.listTop, 49);
    run(TITLE_WINDOW_SLIDE);

    tapButtons(BUTTON_CONFIRM);
    EXPECT_EQ(effectStarts(SOUND_REFUSED), 1);
    EXPECT_EQ(gTitle.startCounter, 0);
    EXPECT_EQ(gTitle.windowOpen, TITLE_WINDOW_SLIDE);

    tapButtons(BUTTON_UP);
    EXPECT_EQ(gTitle.rowCursor, 50);
    EXPECT_EQ(effectStarts(SOUND_CURSOR), 1);
    tapButtons(BUTTON_CONFIRM, 0);
    EXPECT_EQ(gTitle.startCounter, 1);
    EXPECT_EQ(gLastSaveSlot, 50);
    EXPECT_EQ(runningGameState().playTicks, gSaveImage.slots[50].playTicks);
}

TEST_F(SaveList, ALastSaveSlotOutOfRangeStillOpensOnTheList) {
    playedSlot(1);
    boot();
    gLastSaveSlot = 250;   // whatever the header came to hold
    chooseEntry(TITLE_LOAD);
    EXPECT_EQ(gTitle.rowCursor, 99);
    EXPECT_EQ(gTitle.listTop, 97);
    run(TITLE_WINDOW_SLIDE + 2);   // drawn without reading past the list
    gLastSaveSlot = -8;
    tapButtons(BUTTON_CANCEL, TITLE_WINDOW_SLIDE + 1);
    chooseEntry(TITLE_LOAD);
    EXPECT_EQ(gTitle.rowCursor, 0);
    EXPECT_EQ(gTitle.listTop, 0);
}

TEST_F(SaveList, NewGamePlusListsOnlyClearedGamesWithACard) {
    clearedSlot(3, true);
    clearedSlot(5, false);
    clearedSlot(8, true);
    playedSlot(9);
    boot();
    EXPECT_EQ(gTitle.slotHasCard[3], 1);
    EXPECT_EQ(gTitle.slotHasCard[5], 0);
    chooseEntry(TITLE_NEW_GAME_PLUS);
    ASSERT_EQ(gSlotListCount, 2);
    EXPECT_EQ(gTitle.slotList[0], 3);
    EXPECT_EQ(gTitle.slotList[1], 8);
    EXPECT_EQ(gTitle.slotList[2], 0);
    EXPECT_EQ(gTitle.cardListMode, 1);
    EXPECT_EQ(gTitle.noticePending, 1);
    run(TITLE_WINDOW_SLIDE);
    EXPECT_EQ(gTitle.noticePending, 0);
    EXPECT_STREQ(gMessageWindow.lines[0], "Please choose a file for New Game+ data.");
    // Nothing else moves while the notice stands.
    tapButtons(BUTTON_DOWN);
    EXPECT_EQ(gTitle.rowCursor, 0);
}

// With cleared games but no card the New Game+ list is empty: confirm takes
// no slot, not even a played slot 0 behind the empty list's entries.
TEST_F(SaveList, AnEmptyCardListRefusesEveryChoice) {
    playedSlot(0);
    clearedSlot(4, false);
    boot();
    chooseEntry(TITLE_NEW_GAME_PLUS);
    EXPECT_EQ(gSlotListCount, 0);
    run(TITLE_WINDOW_SLIDE);
    ASSERT_TRUE(runUntil([] { return gMessageWindow.openCounter == 8; }, 20));
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gMessageWindow.openCounter == 0; }, 20));
    run(1);
    tapButtons(BUTTON_CONFIRM);
    EXPECT_EQ(effectStarts(SOUND_REFUSED), 1);
    EXPECT_EQ(gTitle.startCounter, 0);
    tapButtons(BUTTON_DOWN);
    EXPECT_EQ(gTitle.rowCursor, 0);
}

struct NavigationCase {
    const char* name;
    int32_t count, cursor, top;
    uint16_t buttons;
    int32_t wantCursor, wantTop;
    bool moved;
};

TEST(SaveListNavigation, PagesAndRowsMoveAndScrollTheList) {
    const NavigationCase CASES[] = {
        {"down inside the page", 100, 0, 0, BUTTON_DOWN, 1, 0, true},
        {"down past the page scrolls one", 100, 2, 0, BUTTON_DOWN, 3, 1, true},
        {"up past the top scrolls one", 100, 3, 3, BUTTON_UP, 2, 2, true},
        {"up at the first slot", 100, 0, 0, BUTTON_UP, 0, 0, false},
        {"down at the last slot", 100, 99, 97, BUTTON_DOWN, 99, 97, false},
        {"page forward", 100, 0, 0, BUTTON_RIGHT, 3, 3, true},
        {"page forward near the end", 100, 96, 96, BUTTON_RIGHT, 99, 97, true},
        {"page back", 100, 4, 3, BUTTON_LEFT, 1, 0, true},
        {"page back from the top page does nothing", 100, 1, 0, BUTTON_LEFT, 1, 0, false},
        {"left that cannot move lets up act", 100, 1, 0, BUTTON_LEFT | BUTTON_UP, 0, 0, true},
        {"a short list never pages", 2, 0, 0, BUTTON_RIGHT, 0, 0, false},
        {"a short list moves its rows", 2, 0, 0, BUTTON_DOWN, 1, 0, true},
        {"an empty list", 0, 0, 0, BUTTON_DOWN | BUTTON_RIGHT, 0, 0, false},
    };
    for (const NavigationCase& c : CASES) {
        int32_t cursor = c.cursor, top = c.top, byOne = 0, byThree = 0;
        SlotListCursor list{cursor, top, byOne, byThree};
        EXPECT_EQ(navigateSlotList(list, c.count, c.buttons), c.moved ? 1 : 0) << c.name;
        EXPECT_EQ(cursor, c.wantCursor) << c.name;
        // A scroll runs from 1 to 5 (four ticks) reading no input, then
        // moves the top.
        bool scrolls = byOne != 0 || byThree != 0;
        EXPECT_EQ(scrolls, c.wantTop != c.top) << c.name;
        for (int32_t tick = 1; scrolls && tick < SLOT_LIST_SCROLL_END; ++tick) {
            EXPECT_EQ(top, c.top) << c.name << " tick " << tick;
            EXPECT_EQ(navigateSlotList(list, c.count, BUTTON_DOWN), 0) << c.name;
        }
        EXPECT_EQ(top, c.wantTop) << c.name;
        EXPECT_EQ(byOne, 0) << c.name;
        EXPECT_EQ(byThree, 0) << c.name;
        EXPECT_EQ(cursor, c.wantCursor) << c.name;
    }
}

TEST(SaveListLook, RowsPulseUnderTheCursorDimWhenRefusedAndFlashWhenChosen) {
    struct LookCase {
        const char* name;
        bool cursor, dimmed;
        int32_t frame, flash;
        SlotRowLook want;
    };
    const LookCase CASES[] = {
        {"a plain row", false, false, 3, 0, {95, 200, 95, 200}},
        {"a refused row", false, true, 3, 0, {32, 200, 64, 200}},
        {"under the cursor", true, false, 0, 0, {159, 255, 127, 255}},
        {"under the cursor, pulsing", true, false, 16, 0, {190, 255, 127, 255}},
        {"refused under the cursor", true, true, 0, 0, {95, 255, 64, 255}},
        {"chosen, the flash rising", true, false, 0, 10, {255, 255, 237, 255}},
        {"chosen, the flash past its end darkens", true, false, 0, 40, {49, 255, 17, 255}},
    };
    for (const LookCase& c : CASES) {
        SlotRowLook look = slotRowLook(c.cursor, c.dimmed, c.frame, c.flash);
        EXPECT_EQ(look.plateGrey, c.want.plateGrey) << c.name;
        EXPECT_EQ(look.plateAlpha, c.want.plateAlpha) << c.name;
        EXPECT_EQ(look.textGrey, c.want.textGrey) << c.name;
        EXPECT_EQ(look.textAlpha, c.want.textAlpha) << c.name;
    }
}

TEST(SaveListLook, PlayTimeAndDayNumberStopAtWhatFits) {
    struct TimeCase {
        int32_t ticks;
        const char* want;
    };
    const TimeCase TIMES[] = {
        {0, "TIME   0:00:00"},
        {216000 + 3600 + 5 * 60 + 59, "TIME   1:01:05"},
        {216000 * 999 + 216000 - 1, "TIME 999:59:59"},
        {216000 * 1000, "TIME 999:59:59"},
        {216000 * 1000 + 3600 * 30, "TIME 999:59:59"},
    };
    char text[32];
    for (const TimeCase& c : TIMES) {
        formatPlayTime(text, sizeof text, c.ticks);
        EXPECT_STREQ(text, c.want) << c.ticks;
    }
    const int32_t DAYS[][2] = {{0, 1}, {35, 36}, {9998, 9999}, {9999, 9999}, {2000000000, 9999}};
    for (const auto& d : DAYS) EXPECT_EQ(shownDayNumber(d[0]), d[1]) << "date " << d[0];
    EXPECT_EQ(playModeTag(PLAY_MODE_STORY, 0), nullptr);
    EXPECT_STREQ(playModeTag(PLAY_MODE_ENDLESS, 0), "Endless");
    EXPECT_STREQ(playModeTag(PLAY_MODE_NEW_GAME_PLUS, 0), "New Game+");
    EXPECT_STREQ(playModeTag(PLAY_MODE_SURVIVAL, 1), "Survival Hell");
    EXPECT_STREQ(playModeTag(PLAY_MODE_SURVIVAL, 0), "Normal Survival");
}

// The list as the player sees it, drawn by the real device: the row under
// the cursor stands out from the rows above and below it.
TEST_F(SaveList, TheCursorRowIsTheBrightestOnScreen) {
    playedSlot(60);
    testSaveImage().header.lastSaveSlot = 1;
    mGfx = &GFX_HEADLESS;
    boot();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE + 1);
    ASSERT_EQ(gTitle.rowCursor, 1);
    ASSERT_EQ(gTitle.listTop, 0);
    std::vector<uint32_t> pixels(640 * 480);
    ASSERT_TRUE(harnessReadFrame(pixels.data(), 640, 480));
    auto brightness = [&](int32_t y0, int32_t y1) {
        int64_t sum = 0;
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t x = 80; x < 560; ++x) {
                uint32_t p = pixels[(size_t)y * 640 + x];
                sum += (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
            }
        return sum;
    };
    int64_t above = brightness(70, 180), cursor = brightness(210, 320), below = brightness(350, 460);
    EXPECT_GT(cursor, above);
    EXPECT_GT(cursor, below);
}

}   // namespace
