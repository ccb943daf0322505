// The pause menu's save page on a booted game: the slot takes the game with
// its resume point and kept bag while the running game stays as it was, and
// loading it back returns the kept bag to storage exactly once; a save that
// cannot reach the disk says so and leaves the slot as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "adventurers/adventurers_state.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/story_flags.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/field_menu.h"
#include "story/save_list.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/story/title_fixture.h"

namespace {

using FieldMenuSave = TitleGame;

int32_t countKey(const GameState& game, int32_t key) {
    int32_t n = 0;
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; ++i) n += game.storage[i] == key;
    return n;
}

// Saves into the slot as the save page does on its first saving tick.
void saveNow(int32_t slot) {
    gFieldMenu.slotCursor = slot;
    gFieldMenu.slotTop = 0;
    listAllSaveSlots();
    gFieldMenu.noticeState = 2;
    gFieldMenu.saveCounter = 1;
    saveFromFieldMenu();
}

}  // namespace

TEST_F(FieldMenuSave, SavingAtTheDepartureScreenKeepsTheBagOnlyInTheSlot) {
    const int32_t sword = makeItemKey(1, 0, 2);
    const int32_t stored = makeItemKey(1501, 0, 0);
    GameState& saved = playedSlot(3);
    saved.storage[0] = stored;
    saved.storageCount = 1;
    testSaveImage().header.lastSaveSlot = 3;
    boot();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE && !isDialogActive(); }, 200));

    // The departure screen had packed the bag.
    gBag[0] = sword;
    gBag[KEPT_BAG_SIZE] = stored;
    gOverlayScreen.savedMode = GAME_MODE_DEPARTURE;
    const int32_t keptBefore = runningGameState().keptBag[0], kept2Before = runningGameState().keptBag2[0];
    saveNow(7);
    EXPECT_EQ(gFieldMenu.saveFailed, 0);
    EXPECT_EQ(gLastSaveSlot, 7);
    const GameState& slot = gSaveImage.slots[7];
    EXPECT_EQ(slot.resumeLocation, 1);
    EXPECT_EQ(slot.keptBag[0], sword);
    EXPECT_EQ(slot.keptBag2[0], stored);
    const GameState& game = runningGameState();
    EXPECT_EQ(game.keptBag[0], keptBefore) << "the running game keeps no copy of the bag";
    EXPECT_EQ(game.keptBag2[0], kept2Before);
    EXPECT_EQ(game.resumeLocation, 0);

    // Loading the slot: the bag's items come back into storage once each.
    restart();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    ASSERT_EQ(gTitle.rowCursor, 7);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 200));
    const GameState& loaded = runningGameState();
    EXPECT_EQ(countKey(loaded, sword), 1);
    EXPECT_EQ(countKey(loaded, stored), 2) << "the stored one and the bag's";
    EXPECT_EQ(loaded.storageCount, 3);
    for (int32_t key : gBag) EXPECT_EQ(key, -1);
}

TEST_F(FieldMenuSave, AFailedWriteIsShownAndTheSlotStaysAsItWas) {
    playedSlot(3);
    GameState& old = playedSlot(5, 7777);
    old.money = 4321;
    testSaveImage().header.lastSaveSlot = 3;
    boot();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE && !isDialogActive(); }, 200));
    runningGameState().money = 999;
    gOverlayScreen.savedMode = GAME_MODE_FIELD;
    // The files cannot be replaced: a folder stands in the way of each.
    std::filesystem::remove(path("save.dat"));
    std::filesystem::remove(path("_save.dat"));
    std::filesystem::create_directory(path("save.dat"));
    std::filesystem::create_directory(path("_save.dat"));
    saveNow(5);
    EXPECT_EQ(gFieldMenu.saveFailed, 1);
    EXPECT_GT(gMessageWindow.openCounter, 0) << "the failure is told";
    EXPECT_EQ(gSaveImage.slots[5].money, 4321);
    EXPECT_EQ(gSaveImage.slots[5].playTicks, 7777);
    EXPECT_EQ(runningGameState().money, 999);
    std::filesystem::remove(path("save.dat"));
    std::filesystem::remove(path("_save.dat"));
}

namespace {

using EndingSaveGame = TitleGame;

// Confirms every other tick until the condition holds.
template <typename Condition>
bool confirmUntil(Condition condition, int32_t limit) {
    for (int32_t i = 0; i < limit; ++i) {
        if (condition()) return true;
        holdButtons(i % 2 ? BUTTON_CONFIRM : 0, 1);
    }
    return condition();
}

}  // namespace

TEST_F(EndingSaveGame, YesSavesTheEndlessGameAndNoReturnsToTheTitle) {
    GameState& saved = playedSlot(2);
    saved.date = 36;
    saved.money = 70000;
    saved.totalScore = 5000;
    saved.storyFlags[FLAG_ADVENTURER_AVAILABLE + 0] = 1;
    testSaveImage().header.lastSaveSlot = 2;
    boot();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode == GAME_MODE_FIELD && !isDialogActive(); }, 300));

    // Day 36 ended with its payment made.
    gDayEndFinal = 1;
    gGameMode = GAME_MODE_ENDING_SAVE;
    enterEndingSaveScene();
    startSceneLoader();
    ASSERT_TRUE(confirmUntil([] { return gGameEnd.step == 7 && gYesNoWindow.openCounter > 0; }, 4000));
    const GameState& game = runningGameState();
    EXPECT_EQ(game.playMode, PLAY_MODE_ENDLESS);
    EXPECT_EQ(game.date, 36);
    EXPECT_EQ(game.weekEndDay, 0);
    EXPECT_EQ(game.storyFlags[FLAG_ENDLESS], 1);
    EXPECT_EQ(game.storyFlags[FLAG_ADVENTURER_CARD + 0], 1) << "Vuror's True Card";
    EXPECT_EQ(gRecordsUnlocked, 1);
    EXPECT_EQ(gRecordMoney, 70000);
    EXPECT_EQ(gRecordScore, 5000);

    // Yes: the save page; confirm on the cursor's slot (the last one saved).
    ASSERT_TRUE(runUntil([] { return gYesNoWindow.openCounter >= 4; }, 20));
    holdButtons(BUTTON_CONFIRM, 1);
    ASSERT_TRUE(runUntil([] { return gGameEnd.savePageOpen == 1 && gFieldMenu.pageSlide == 10; }, 60));
    gFieldMenu.slotCursor = 9;   // an empty slot: saved at once
    holdButtons(BUTTON_CONFIRM, 1);
    ASSERT_TRUE(runUntil([] { return gFieldMenu.saveCounter == 0; }, 100));
    EXPECT_EQ(gSaveImage.slots[9].playMode, PLAY_MODE_ENDLESS);
    EXPECT_EQ(gSaveImage.slots[9].date, 36);
    EXPECT_EQ(gSaveImage.slots[9].resumeLocation, 0);
    EXPECT_EQ(gLastSaveSlot, 9);
    holdButtons(BUTTON_CANCEL, 1);
    ASSERT_TRUE(runUntil([] { return gGameEnd.step == 7 && gYesNoWindow.openCounter > 0; }, 60)) << "asked again";

    // No: back to the title.
    ASSERT_TRUE(runUntil([] { return gYesNoWindow.openCounter >= 4; }, 20));
    holdButtons(BUTTON_RIGHT, 1);
    holdButtons(0, 1);
    holdButtons(BUTTON_CONFIRM, 1);
    ASSERT_TRUE(runUntil([] { return gGameMode == GAME_MODE_TITLE && !isSceneLoading(); }, 200));
}
