// The departure screen: its rules as tables (fees, open blocks, where a
// block-list entry starts, the stage keys, the Boss Rush battles), the
// screen's set-up on the running game, and the whole way by the pad on the
// booted game: from the shop's door over the town map into the guild, a
// hired adventurer and a packed bag, the first floor of the Hall of Trials,
// and back home through a return gate with the bag settled into storage.
#include "dungeon/departure.h"

#include <gtest/gtest.h>

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/floor_objects.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"
#include "story/story_state.h"
#include "platform/window.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/saved_game.h"

TEST(DepartureRules, FeesGrowWithTheLevelAndHalveFromMerchantLevel20) {
    const struct {
        int32_t adventurer, level, merchantLevel, fee;
    } CASES[] = {
        {3, 4, 0, 700},  {3, 4, 19, 700}, {3, 4, 20, 350}, {0, 0, 0, 50},     {0, 0, 20, 25},
        {0, 1, 25, 75},  {7, 0, 0, 2000}, {6, 9, 98, 950}, {-1, 3, 0, 0},     {8, 3, 0, 0},
    };
    for (const auto& c : CASES)
        EXPECT_EQ(hiringFee(c.adventurer, c.level, c.merchantLevel), c.fee)
            << "adventurer " << c.adventurer << " level " << c.level << " merchant level " << c.merchantLevel;
}

TEST(DepartureRules, BlocksOpenWithTheDeepestFloorAndABossRushWithItsBestTime) {
    GameState& game = runningGameState();
    game = GameState{};
    const struct {
        int32_t dungeon, deepest, bestTime, open;
    } CASES[] = {
        {0, 0, 0, 1},   {0, 40, 0, 1},                  // the Hall of Trials has one block
        {1, 0, 0, 1},   {1, 3, 0, 1},   {1, 4, 0, 2}, {1, 9, 0, 3}, {1, 14, 0, 3},
        {1, 14, 5000, 4},                              // its last block's time opens the Boss Rush
        {2, 29, 0, 6},  {2, 29, 1, 7},  {4, 99, 0, 20},
        {5, 0, 0, 1},   {5, 9, 0, 3},   {5, 60, 0, 4},   // dungeon 5: three blocks of ten and floor 30
    };
    for (const auto& c : CASES) {
        game = GameState{};
        game.deepestFloors[c.dungeon] = c.deepest;
        int32_t slot = departureBestTimeSlot(c.dungeon, DUNGEON_FLOOR_BLOCKS[c.dungeon] - 1);
        if (c.bestTime && slot >= 0) game.bestTimes[slot / BEST_TIME_SECTIONS][slot % BEST_TIME_SECTIONS] = c.bestTime;
        EXPECT_EQ(unlockedDepartureEntries(game, c.dungeon), c.open)
            << "dungeon " << c.dungeon << " deepest " << c.deepest << " best time " << c.bestTime;
    }
    game = GameState{};
}

TEST(DepartureRules, EachEntryStartsItsFloorAndABossRushRunsOnDungeonFive) {
    const struct {
        int32_t dungeon, cursor;
        DepartureTarget want;
    } CASES[] = {
        {0, 0, {0, 0, -1}},  {1, 0, {1, 0, -1}},  {1, 2, {1, 10, -1}}, {3, 9, {3, 45, -1}},
        {5, 2, {5, 20, -1}}, {5, 3, {5, 30, -1}},  // dungeon 5 by blocks of ten
        {1, 3, {5, 30, 1}},  {2, 6, {5, 33, 2}},  {3, 10, {5, 38, 3}}, {4, 20, {5, 46, 4}},
    };
    for (const auto& c : CASES) {
        DepartureTarget t = departureTarget(c.dungeon, c.cursor);
        EXPECT_EQ(t.dungeon, c.want.dungeon) << "dungeon " << c.dungeon << " entry " << c.cursor;
        EXPECT_EQ(t.floor, c.want.floor) << "dungeon " << c.dungeon << " entry " << c.cursor;
        EXPECT_EQ(t.bossRushCourse, c.want.bossRushCourse) << "dungeon " << c.dungeon << " entry " << c.cursor;
    }
}

TEST(DepartureRules, FloorsTakeTheirStageKeysAndTheTowerStoryKey20) {
    const struct {
        int32_t dungeon, floor, key;
    } CASES[] = {{1, 14, 6}, {2, 29, 15}, {5, 12, 9}, {5, 45, 19}, {0, 0, 5}, {0, 4, 5}, {4, 99, 17}, {5, 30, 6}};
    StageRecord saved[4];
    for (int32_t s = 0; s < 4; ++s) saved[s] = gStages[s];
    int32_t savedCount = gStageCount;
    gStageCount = 4;
    const int32_t CODES[4] = {0, 6, 9, 20};
    for (int32_t s = 0; s < 4; ++s) gStages[s].stageCode = CODES[s];
    GameState& game = runningGameState();
    for (const auto& c : CASES) {
        gRun.dungeonIndex = c.dungeon;
        gFloorIndex = c.floor;
        EXPECT_EQ(getStageKeyForFloor(), c.key) << "dungeon " << c.dungeon << " floor " << c.floor;
    }
    gRun.dungeonIndex = 1;
    gFloorIndex = 14;
    selectDungeonStage();
    EXPECT_EQ(gStageIndex, 1);
    for (int32_t flag : {FLAG_TOWER_STORY_FLOOR, FLAG_TOWER_TOP}) {
        game.storyFlags[flag] = 1;
        selectDungeonStage();
        EXPECT_EQ(gStageIndex, 3) << "flag " << flag;
        game.storyFlags[flag] = 0;
    }
    gRun.dungeonIndex = 2;   // key 7: no such stage
    gFloorIndex = 0;
    selectDungeonStage();
    EXPECT_EQ(gStageIndex, 4);
    for (int32_t s = 0; s < 4; ++s) gStages[s] = saved[s];
    gStageCount = savedCount;
    gRun.dungeonIndex = 0;
    gFloorIndex = 0;
    gStageIndex = 0;
}

TEST(DepartureRules, BossRushCoursesCountTheirBattles) {
    const int32_t WANT[] = {0, 3, 5, 8, 13, 0};
    for (int32_t course = -1; course <= 5; ++course) {
        gRun.bossRushCourse = course;
        EXPECT_EQ(getBossRushBattleCount(), course >= 0 ? WANT[course] : 0) << "course " << course;
    }
    gRun.bossRushCourse = -1;
}

// The screen's set-up: the bag's size by merchant level, the remembered
// adventurer and dungeon (clamped to the dungeons offered), the dungeons
// offered by the story.
TEST(DepartureScreen, OpensWithTheBagSizeAndTheLastDeparture) {
    GameState& game = runningGameState();
    const struct {
        int32_t level, capacity;
    } BAGS[] = {{0, 20}, {15, 20}, {16, 25}, {22, 25}, {23, 30}, {38, 30}, {39, 35}, {98, 35}};
    for (const auto& b : BAGS) {
        game = GameState{};
        game.merchantLevel = b.level;
        gBag[3] = 77;
        initDepartureScreen();
        EXPECT_EQ(gBagCapacity, b.capacity) << "merchant level " << b.level;
        EXPECT_EQ(gBag[3], ITEM_KEY_NONE);
    }
    game = GameState{};
    for (int32_t a : {0, 2, 5}) game.storyFlags[FLAG_ADVENTURER_AVAILABLE + a] = 1;
    game.lastDeparture[0] = 5;
    game.lastDeparture[1] = 4;   // a dungeon this game does not offer
    initDepartureScreen();
    const DepartureScreenState& d = gDepartureScreen;
    EXPECT_EQ(d.adventurerCursor, 3);
    EXPECT_EQ(departureCursorAdventurer(), 5);
    EXPECT_EQ(d.dungeonCount, 2);
    EXPECT_EQ(d.dungeonCursor, 1);
    EXPECT_EQ(d.adventurerMode, 1);
    EXPECT_EQ(d.bagCursor, 1);
    EXPECT_EQ(game.resumeLocation, 1);

    const struct {
        int32_t flags[2];
        int32_t offered;
    } OFFERS[] = {{{113, 0}, 3}, {{153, 0}, 4}, {{171, 0}, 5}, {{11, 184}, 6}, {{184, 0}, 2}};
    for (const auto& o : OFFERS) {
        game = GameState{};
        for (int32_t f : o.flags)
            if (f) game.storyFlags[f] = 1;
        EXPECT_EQ(departureDungeonsOffered(game), o.offered) << "flag " << o.flags[0];
    }
    game = GameState{};
    resetDepartureScreen();
}

namespace {

constexpr int32_t SEED = 4242;

// Ticks with nothing held until the condition holds; a story scene or a
// window that runs meanwhile is confirmed through.
bool playUntil(bool (*done)(), int32_t limit) {
    for (int32_t t = 0; t < limit; ++t) {
        if (done()) return true;
        bool answer = (gEventReady != 0 || isDialogActive()) && t % 2 == 0;
        holdButtons(answer ? BUTTON_CONFIRM : 0, 1);
    }
    return done();
}

const int32_t SWORD = makeItemKey(1, 0, 0);

// A morning well into the story: the town is open, Vuror can be hired, the
// guild charges its fee and the sword waits in storage.
void departureGame(GameState& game) {
    game.date = 1;
    game.dayPhase = 0;
    game.money = 30;
    for (int32_t flag : {FLAG_FIRST_OUTING, FLAG_SHOP_CALLS, FLAG_ADVENTURERS_GUILD_CALLS, FLAG_TUTORIAL_REPEAT, FLAG_DOOR_CLOSED})
        game.storyFlags[flag] = 0;
    for (int32_t flag : {(int32_t)FLAG_ADVENTURER_AVAILABLE, (int32_t)FLAG_DUNGEON_TUTORIAL_GATE, (int32_t)FLAG_LEFT_SHOP, 20, 21, 74})
        game.storyFlags[flag] = 1;
    for (int32_t& key : game.storage) key = ITEM_KEY_NONE;
    game.storage[0] = SWORD;
    game.storageCount = 1;
}

bool onShopFloor() {
    return gGameMode == GAME_MODE_FIELD && !isSceneLoading() && gCurrentStage && isShopStage(gCurrentStage);
}

}  // namespace

TEST(DepartureWalk, FromTheShopDoorIntoTheHallOfTrialsAndHomeAgain) {
    HarnessOptions options;
    options.seed = SEED;
    ASSERT_TRUE(harnessBootSavedGame(options, departureGame));
    ASSERT_TRUE(playUntil([] { return onShopFloor() && gShopFloor.shopFloorState == SHOP_FLOOR_WALKING; }, 400));
    ASSERT_GE(harnessPlayScenesThrough(), 0);   // the morning's scenes
    GameState& game = runningGameState();

    // Out through the door on the right wall, up the town map to the guild.
    ASSERT_TRUE(walkTo(2.9f, -3.4f, 0.3f)) << gParty.positions[0].x << ", " << gParty.positions[0].z;
    holdButtons(BUTTON_RIGHT, 4);
    holdButtons(0, 4);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_WORLD_MAP && !isSceneLoading(); }, 300));
    holdButtons(0, WORLD_MAP_CHOICE_TICKS + 2);
    tapButtons(BUTTON_UP, 2);
    tapButtons(BUTTON_UP, 2);
    tapButtons(BUTTON_RIGHT, 2);
    ASSERT_EQ(gWorldMap.cursorPlace, TOWN_PLACE_ADVENTURERS_GUILD);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_DEPARTURE && !isSceneLoading(); }, 300))
        << "mode " << gGameMode << " guild " << gWorldMap.placeState[TOWN_PLACE_ADVENTURERS_GUILD] << " phase "
        << game.dayPhase << " date " << game.date;
    holdButtons(0, 4);

    // Hire Vuror: the first of the list is hired although the money is short.
    const DepartureScreenState& d = gDepartureScreen;
    if (d.adventurerCursor == 0) tapButtons(BUTTON_DOWN, 2);
    ASSERT_EQ(departureCursorAdventurer(), 0);
    EXPECT_EQ(departureFeeShown(), 30) << "at most the money on hand";
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_EQ(d.bagState, BAG_LIST_FOCUS);
    ASSERT_TRUE(playUntil([] { return gDepartureScreen.introState == 0 && !isDialogActive(); }, 300));
    holdButtons(0, ITEM_LIST_SLIDE_TICKS + 2);

    // Pack the sword into the bag's first entry: the list's first row is "Nothing".
    ASSERT_EQ(d.bagCursor, 1);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_EQ(d.bagState, BAG_CHOOSING);
    tapButtons(BUTTON_DOWN, 2);
    ASSERT_EQ(getSelectedListItemKey(), SWORD);
    tapButtons(BUTTON_CONFIRM, ITEM_LIST_FLASH_TICKS + 3);
    ASSERT_EQ(d.bagState, BAG_LIST_FOCUS);
    EXPECT_EQ(gBag[0], SWORD);
    EXPECT_EQ(gBagAtDeparture[0], SWORD);
    EXPECT_EQ(countItemInStorage(1), 0);

    // "Depart!" before the dungeon map is open leaves for the Hall of Trials' first block.
    tapButtons(BUTTON_UP, 2);
    ASSERT_EQ(d.bagCursor, 0);
    int32_t phase = game.dayPhase;
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_FIELD && !isSceneLoading(); }, 300));
    EXPECT_EQ(gRun.dungeonIndex, 0);
    EXPECT_EQ(gFloorIndex, 0);
    EXPECT_EQ(gRun.bossRushCourse, -1);
    EXPECT_EQ(gChosenAdventurer, 0);
    EXPECT_EQ(game.money, 0) << "the fee took what there was";
    EXPECT_EQ(game.adventurers[0].adventures, 1);
    EXPECT_EQ(game.departedFlag, 1);
    EXPECT_EQ(game.dayPhase, phase + 1);
    EXPECT_EQ(game.lastDeparture[0], 0);
    EXPECT_EQ(gBag[0], SWORD);
    ASSERT_TRUE(gCurrentStage && !isShopStage(gCurrentStage));

    // An open return gate at her feet once the countdown lets her go; through it,
    // the whole bag goes to storage at the item choice, and home from the town map.
    ASSERT_TRUE(playUntil([] { return gRun.floorIntroTimer == 0 && gRun.playerControl == PLAYER_FREE; }, 400));
    int32_t gate = placeFloorObject(gParty.positions[0], Vector3{0.35f, 0.35f, 0.35f}, 0.0f, FLOOR_OBJECT_RETURN_GATE);
    ASSERT_GE(gate, 0);
    gFloorObjects[gate].state = FLOOR_OBJECT_ACTIVE;   // opened, as a hit on it opens it
    ASSERT_TRUE(playUntil([] { return isDialogActive(); }, 200)) << "the gate asks";
    for (int32_t t = 0; t < 3000 && !(gGameMode == GAME_MODE_WORLD_MAP && !isSceneLoading()); ++t)
        holdButtons(t % 2 == 0 ? BUTTON_CONFIRM : 0, 1);
    ASSERT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_EQ(countItemInStorage(1), 1) << "the bag was settled into storage";
    holdButtons(0, WORLD_MAP_CHOICE_TICKS + 2);
    for (int32_t i = 0; i < 4 && gWorldMap.cursorPlace != TOWN_PLACE_SHOP; ++i) tapButtons(BUTTON_DOWN, 2);
    ASSERT_EQ(gWorldMap.cursorPlace, TOWN_PLACE_SHOP);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil(onShopFloor, 600));
    EXPECT_EQ(countItemInStorage(1), 1);
    for (int32_t i = 0; i < gHeadlessMessageBoxes.total && i < HEADLESS_MESSAGE_BOX_MAX; ++i)
        ADD_FAILURE() << gHeadlessMessageBoxes.boxes[i].text;
    harnessShutdown();
}
