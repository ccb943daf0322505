// The calendar, the True Card award, the optimum equipment and the pause
// menu's save, on the running game and a small item table made in the test.
#include <gtest/gtest.h>

#include <string>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "story/field_menu.h"
#include "story/game_records.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/temp_folder.h"

namespace {

struct CalendarCase {
    int32_t playMode;
    int32_t date;
    int32_t day;       // getDayInSeason
    int32_t weekEnd;   // getWeekEndDay
};

TEST(CalendarDays, TheWeeksEndOnTheirPaymentDay) {
    const CalendarCase CASES[] = {
        {PLAY_MODE_STORY, 0, 0, 7},          {PLAY_MODE_STORY, 1, 1, 7},
        {PLAY_MODE_STORY, 7, 7, 7},          {PLAY_MODE_STORY, 8, 8, 14},
        {PLAY_MODE_STORY, 14, 14, 14},       {PLAY_MODE_NEW_GAME_PLUS, 15, 15, 21},
        {PLAY_MODE_SURVIVAL, 0, 0, 6},       {PLAY_MODE_SURVIVAL, 6, 6, 6},
        {PLAY_MODE_SURVIVAL, 7, 7, 13},      {PLAY_MODE_SURVIVAL, 35, 0, 6},
        {PLAY_MODE_ENDLESS, 36, 0, 6},       {PLAY_MODE_ENDLESS, 43, 7, 13},
    };
    GameState& game = runningGameState();
    for (const CalendarCase& c : CASES) {
        game.playMode = c.playMode;
        game.date = c.date;
        EXPECT_EQ(getDayInSeason(game), c.day) << "play " << c.playMode << " date " << c.date;
        EXPECT_EQ(getWeekEndDay(), c.weekEnd) << "play " << c.playMode << " date " << c.date;
        EXPECT_EQ(game.weekEndDay, c.weekEnd);
    }
    game = GameState{};
}

// The running game emptied, a small item table: swords for Vuror's main
// weapon and the eight True Cards.
class GameEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        std::string table = ":Swords\n0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#t\n"
                            "0001 Sword#100#5#0#0#0#Wepn##a2#t\n"
                            "0002 Rune Sword#100#4#0#3#0#Wepn##a2#t\n"
                            "0003 Plain Sword#100#2#1#1#1#Wepn##a2#t\n"
                            ":Cards\n3400 Unknown Card#-1#0#0#0#0#Gold##a1#t\n";
        for (int32_t a = 0; a < ADVENTURER_COUNT; ++a)
            table += std::to_string(TRUE_CARD_FIRST + a) + " Card#1#0#0#0#0#Gold##a1#t\n";
        parseItemTable(table.data(), (int32_t)table.size());
        ASSERT_EQ(gHeadlessMessageBoxes.total, 0);
        clearGame();
        resetDialogState();
        resetFieldMenuState();
        resetGameEndState();
    }
    void TearDown() override {
        clearGame();
        parseItemTable("", 0);
        resetDialogState();
        resetFieldMenuState();
        gWindow = previousWindow;
    }
    static void clearGame() {
        GameState& g = runningGameState();
        g = GameState{};
        for (int32_t& key : g.storage) key = ITEM_KEY_NONE;
        for (AdventurerRecord& a : g.adventurers)
            for (int32_t s = 0; s < EQUIPMENT_SLOTS; ++s) a.equipment[s] = a.savedEquipment[s] = ITEM_KEY_NONE;
        fillCollection(g, gItemDefinitions, gItemDefinitionCount);
        for (int32_t& key : gBag) key = ITEM_KEY_NONE;
    }
    static GameState& game() { return runningGameState(); }
    const WindowBackend* previousWindow = nullptr;
};

constexpr int32_t key(int32_t id, int32_t plus = 0, int32_t flags = 0) { return makeItemKey(id, flags, plus); }

TEST_F(GameEndTest, EndingSaveCardGoesToTheMostTravelledAdventurerTheLowerNumberOnATie) {
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 1] = 1;
    game().storyFlags[FLAG_ADVENTURER_CARD + 4] = 1;   // available through an earlier card
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 6] = 1;
    game().adventurers[1].adventures = 9;
    game().adventurers[4].adventures = 9;
    game().adventurers[6].adventures = 3;
    ASSERT_EQ(awardTrueCard(), 1);
    EXPECT_EQ(game().storage[0], key(TRUE_CARD_FIRST + 1));
    EXPECT_EQ(game().storyFlags[FLAG_ADVENTURER_CARD + 1], 1);
    EXPECT_EQ(game().trueCards[1], 1);
    EXPECT_EQ(game().trueCards[4], 1);
    EXPECT_EQ(game().trueCards[6], 1);
    EXPECT_EQ(game().trueCards[0], 0);
    EXPECT_STREQ(gMessageWindow.lines[0], "Received Rerado's True Card!");
}

TEST_F(GameEndTest, EndingSaveNoCardWithoutAnAdventurerOrWithoutRoom) {
    EXPECT_EQ(awardTrueCard(), 0);
    EXPECT_EQ(gMessageWindow.openCounter, 0);
    // A full storage cannot take the card: it is not claimed.
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 2] = 1;
    for (int32_t& k : game().storage) k = key(1);
    game().storageCount = STORAGE_ENTRY_COUNT;
    EXPECT_EQ(awardTrueCard(), 0);
    EXPECT_EQ(game().storyFlags[FLAG_ADVENTURER_CARD + 2], 0);
}

TEST_F(GameEndTest, FieldMenuCardsMakeAdventurersAvailable) {
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 3] = 1;
    game().storyFlags[FLAG_ADVENTURER_CARD + 0] = 1;
    game().storyFlags[FLAG_ADVENTURER_CARD + 3] = 1;
    listAvailableAdventurers();
    ASSERT_EQ(gAvailableAdventurerCount, 2);
    EXPECT_EQ(gAvailableAdventurers[0], 0);
    EXPECT_EQ(gAvailableAdventurers[1], 3);
}

TEST_F(GameEndTest, FieldMenuPlusGoesToTheLargestStat) {
    int32_t totals[ITEM_STAT_COUNT] = {};
    getItemStats(key(2, 3), totals);   // attack 4, magic 3: +3 on attack
    EXPECT_EQ(totals[0], 7);
    EXPECT_EQ(totals[2], 3);
    int32_t tie[ITEM_STAT_COUNT] = {};
    getItemStats(key(3, 2), tie);   // 2, 1, 1, 1
    EXPECT_EQ(tie[0], 4);
    getItemStats(ITEM_KEY_NONE, tie);
    EXPECT_EQ(tie[0], 4);
}

TEST_F(GameEndTest, FieldMenuOptimumEquipmentOnlyOnAStrictlyGreaterSum) {
    gChosenAdventurer = 0;
    gBagCapacity = 6;
    game().adventurers[0].equipment[0] = key(1);   // sum 5
    gBag[0] = key(3);                              // sum 5: stays in the bag
    gBag[1] = ITEM_KEY_NONE;
    gBag[2] = key(2, 0, ITEM_KEY_UNIDENTIFIED);    // unidentified: never worn
    gBag[3] = key(2);                              // sum 7, less attack: worn
    sortBagByStats();
    EXPECT_EQ(game().adventurers[0].equipment[0], key(2));
    EXPECT_EQ(gBag[0], key(3));
    EXPECT_EQ(gBag[1], key(2, 0, ITEM_KEY_UNIDENTIFIED));
    EXPECT_EQ(gBag[2], key(1)) << "the old sword takes the new one's place, the bag packed";
    EXPECT_EQ(gBag[3], ITEM_KEY_NONE);
}

}  // namespace
