// The title screen on the booted game: the menu built from the save file,
// the cursor and the confirm flash, Quit, the idle fade toward the movie, and
// the start of a new game, a loaded game, New Game+ and Survival.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <functional>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/scene_pictures.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/game_records.h"
#include "story/game_start.h"
#include "story/title.h"
#include "story/world_map.h"
#include "tests/story/title_fixture.h"

namespace {

struct MenuCase {
    const char* name;
    std::function<void()> prepare;   // on the test image; null: no save file at all
    std::vector<int32_t> codes;
    float spacing, offset;
    int32_t cursor;
};

using TitleMenu = TitleGame;

TEST_F(TitleMenu, EntriesAndLayoutFollowWhatTheSaveFileHolds) {
    const MenuCase CASES[] = {
        {"no save file", nullptr, {0, 7, 2, 3}, 33, -16, 0},
        {"empty slots", [] {}, {0, 7, 2, 3}, 33, -16, 0},
        {"a played slot", [] { playedSlot(42); }, {0, 1, 7, 2, 3}, 33, -16, 1},
        {"the records flag alone", [] { testSaveImage().header.recordsUnlocked = 1; }, {0, 7, 8, 2, 3}, 33, -16, 0},
        {"a cleared game", [] { clearedSlot(9, false); }, {5, 4, 1, 7, 8, 2, 3}, 30, -36, 2},
        {"a cleared game with a True Card", [] { clearedSlot(9, true); }, {5, 4, 6, 1, 7, 8, 2, 3}, 27, -36, 3},
        // Cleared needs play time: a slot in endless play never played is empty.
        {"endless play without play time", [] { clearedSlot(9, true).playTicks = 0; }, {0, 7, 2, 3}, 33, -16, 0},
    };
    for (const MenuCase& c : CASES) {
        resetTestSaveImage();
        if (c.prepare) c.prepare();
        boot(!c.prepare);
        std::vector<int32_t> codes(gTitle.menuCodes, gTitle.menuCodes + gTitle.menuCount);
        EXPECT_EQ(codes, c.codes) << c.name;
        EXPECT_EQ(gTitle.titleMenuSpacing, c.spacing) << c.name;
        EXPECT_EQ(gTitle.titleMenuOffset, c.offset) << c.name;
        EXPECT_EQ(gTitle.menuCursor, c.cursor) << c.name;
        EXPECT_TRUE(isTitleIdle()) << c.name;
    }
}

TEST_F(TitleMenu, CursorWrapsWithTheCursorSound) {
    boot();
    ASSERT_EQ(gTitle.menuCount, 4);
    struct Move {
        uint16_t button;
        int32_t cursor;
    };
    const Move MOVES[] = {{BUTTON_UP, 3}, {BUTTON_DOWN, 0}, {BUTTON_DOWN, 1}, {BUTTON_CANCEL, 1}};
    int32_t sounds = effectStarts(SOUND_CURSOR);
    for (const Move& m : MOVES) {
        tapButtons(m.button);
        EXPECT_EQ(gTitle.menuCursor, m.cursor) << "button " << m.button;
    }
    EXPECT_EQ(effectStarts(SOUND_CURSOR) - sounds, 3);
    EXPECT_EQ(effectStarts(SOUND_CONFIRM), 0);
}

TEST_F(TitleMenu, AConfirmedEntryFlashesFifteenTicksBeforeItActs) {
    boot();
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_DOWN);
    ASSERT_EQ(gTitle.menuCodes[gTitle.menuCursor], TITLE_OPTIONS);
    tapButtons(BUTTON_CONFIRM, 0);
    EXPECT_EQ(gTitle.choiceCounter, 1);
    EXPECT_EQ(effectStarts(SOUND_CONFIRM), 1);
    EXPECT_FALSE(isTitleIdle());
    int32_t idle = gTitle.idleTicks;
    run(13);
    EXPECT_EQ(gTitle.choiceCounter, 14);
    EXPECT_EQ(gTitle.windowKind, 0);
    // The flash keeps the menu from counting idle time.
    EXPECT_EQ(gTitle.idleTicks, idle);
    run(1);
    EXPECT_EQ(gTitle.choiceCounter, 15);
    EXPECT_EQ(gTitle.windowKind, TITLE_WINDOW_OPTIONS);
    EXPECT_EQ(gTitle.windowClosing, 0);
    EXPECT_TRUE(isPointerShown());
    run(TITLE_WINDOW_SLIDE);
    EXPECT_EQ(gTitle.windowOpen, TITLE_WINDOW_SLIDE);
}

TEST(TitleMenuLook, TheSelectedLabelFlashesOverASlowPulse) {
    struct GreyCase {
        bool selected;
        int32_t choice, frame, want;
    };
    const GreyCase CASES[] = {
        {false, 7, 11, 95},    // the others stay dim
        {true, 0, 0, 159},
        {true, 0, 11, 190},    // + 32 sin(2 pi 11 / 45), truncated
        {true, 0, 56, 190},    // the pulse repeats every 45 ticks
        {true, 7, 0, 255},     // the flash's peak is held at 255
        {true, 15, 0, 159},    // the flash is over
    };
    for (const GreyCase& c : CASES)
        EXPECT_EQ(titleEntryGrey(c.selected, c.choice, c.frame), c.want)
            << "selected " << c.selected << " choice " << c.choice << " frame " << c.frame;
}

TEST_F(TitleMenu, QuitClosesTheProgramWithoutTheQuitQuestion) {
    boot();
    gWindowed = 1;
    chooseEntry(TITLE_QUIT);
    run(5);
    EXPECT_TRUE(gHarness.quit);
    EXPECT_EQ(gTitle.quitChosen, 1);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
}

TEST_F(TitleMenu, TheCollectionOpensOverEverySlotAndCancelClosesIt) {
    GameState& saved = playedSlot(4);
    saved.collection[0].seen[0] = 1;   // the first item of the first category, in one slot
    boot();
    chooseEntry(TITLE_COLLECTION);
    EXPECT_EQ(gTitle.windowKind, TITLE_WINDOW_COLLECTION);
    EXPECT_EQ(gCollection.seen, 1);
    EXPECT_GT(gCollection.total, 1);
    run(TITLE_WINDOW_SLIDE);
    tapButtons(BUTTON_CANCEL);
    EXPECT_EQ(effectStarts(SOUND_CANCEL), 1);
    EXPECT_EQ(gTitle.windowClosing, 1);
    run(TITLE_WINDOW_SLIDE);
    EXPECT_TRUE(isTitleIdle());
}

using TitleIdle = TitleGame;

// The whole wait, tick by tick: cursor moves do not hold it back; the music
// fades from 7,021 and stops at 7,079; input stops at 7,110; the screen turns
// white up to 7,139; at 7,140 the movie is asked for, and without one (the
// folder's is removed) the title music starts again and the count starts over.
TEST_F(TitleIdle, TheFadeReachesTheMovieAfterTheStatedTicks) {
    boot();
    std::filesystem::remove(path("tolli_op.wmv"));
    int32_t start = gTitle.idleTicks;
    tapButtons(BUTTON_DOWN, 5);
    tapButtons(BUTTON_DOWN, 5);
    EXPECT_EQ(gTitle.idleTicks, start + 12);
    EXPECT_EQ(gTitle.menuCursor, 2);
    // Until the music fades nothing changes but the counts, so those ticks
    // run under the game's largest frame skip: every tick updates, every
    // fifth one draws. From a little before the fade on, every tick draws again.
    constexpr int32_t TICKS_A_FRAME = FRAME_SKIP_MAX + 1;
    int32_t quiet = (TITLE_MUSIC_FADE_TICK - 10 - gTitle.idleTicks) / TICKS_A_FRAME * TICKS_A_FRAME;
    int32_t idleBefore = gTitle.idleTicks, framesBefore = gFrameCounter, frameSkip = gFrameSkip;
    gFrameSkip = FRAME_SKIP_MAX;
    run(quiet);
    gFrameSkip = frameSkip;
    ASSERT_EQ(gTitle.idleTicks, idleBefore + quiet);
    EXPECT_EQ(gFrameCounter - framesBefore, quiet / TICKS_A_FRAME);
    EXPECT_EQ(gCurrentTrack, 0);
    EXPECT_EQ(gTitle.menuCursor, 2);
    run(TITLE_IDLE_INPUT_END - gTitle.idleTicks);
    ASSERT_EQ(gTitle.idleTicks, TITLE_IDLE_INPUT_END);
    EXPECT_EQ(gCurrentTrack, -1);   // the music stopped at 7,079
    tapButtons(BUTTON_DOWN, 0);
    EXPECT_EQ(gTitle.menuCursor, 2);
    EXPECT_EQ(titleIdleFadeAlpha(gTitle.idleTicks), 9);

    int32_t musicStarts = gSound.music[0].starts;
    run(TITLE_IDLE_MOVIE - 1 - gTitle.idleTicks);
    ASSERT_EQ(gTitle.idleTicks, TITLE_IDLE_MOVIE - 1);
    EXPECT_EQ(titleIdleFadeAlpha(gTitle.idleTicks), 255);

    run(1);
    EXPECT_EQ(gTitle.idleTicks, 0);
    EXPECT_EQ(gCurrentTrack, 0);
    EXPECT_EQ(gSound.music[0].starts, musicStarts + 1);
}

// The fade as drawn, read back from OpenGL: white over the whole title on
// the last tick of the wait, and the title again once the wait starts over
// (there being no movie). The wait's count up to the fade is left to the
// test above; drawing its 7,110 ticks would show nothing but the idle title.
TEST_F(TitleIdle, TheFadeWhitensTheScreenAndTheTitleComesBack) {
    mGfx = &GFX_HEADLESS;
    boot();
    std::filesystem::remove(path("tolli_op.wmv"));
    gTitle.idleTicks = TITLE_IDLE_FADE_START;
    run(TITLE_IDLE_MOVIE - 1 - gTitle.idleTicks);
    ASSERT_EQ(gTitle.idleTicks, TITLE_IDLE_MOVIE - 1);
    std::vector<uint32_t> pixels(640 * 480);
    ASSERT_TRUE(harnessReadFrame(pixels.data(), 640, 480));
    EXPECT_EQ(pixels[240 * 640 + 320] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pixels[20 * 640 + 20] & 0xFFFFFF, 0xFFFFFFu);

    run(1);
    ASSERT_EQ(gTitle.idleTicks, 0);
    run(1);
    ASSERT_TRUE(harnessReadFrame(pixels.data(), 640, 480));
    EXPECT_NE(pixels[240 * 640 + 320] & 0xFFFFFF, 0xFFFFFFu);
}

using TitleStart = TitleGame;

TEST_F(TitleStart, NewGameMakesAFreshGameInSlotZero) {
    GameState& saved = playedSlot(0, 90000);
    saved.money = 99999;
    saved.date = 20;
    saved.loopCount = 4;
    saved.storage[0] = makeItemKey(1, 0, 3);
    saved.storageCount = 1;
    playedSlot(5);
    testSaveImage().header.lastSaveSlot = 5;
    boot();
    // Left over from a game played before in this process.
    gBag[3] = makeItemKey(1, 0, 0);
    gShopDayPhase = 40;
    gShopSequence = SHOP_SEQUENCE_FROM_TOWN;
    setWorldMapPlace(TOWN_PLACE_CHURCH);
    ASSERT_EQ(gTitle.menuCodes[0], TITLE_NEW_GAME);
    tapButtons(BUTTON_UP);
    ASSERT_EQ(gTitle.menuCursor, 0);
    tapButtons(BUTTON_CONFIRM, 0);
    int32_t confirmTick = gTickCounter - 1;
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 100));
    // 15 ticks of flash, the start counter's 29 ticks to the fade, then the
    // 17-tick fade-out.
    EXPECT_EQ(gTickCounter - 1 - confirmTick, 59);
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD);
    EXPECT_EQ(gTitle.newGameChosen, 1);
    EXPECT_EQ(gCurrentSlot, 0);
    EXPECT_EQ(gStageIndex, 0);
    EXPECT_EQ(gFadeState, -1);
    EXPECT_EQ(gScenePictures[0].texture, nullptr);   // the title's pictures are gone
    EXPECT_EQ(gBag[3], -1);
    EXPECT_EQ(gShopDayPhase, 0);
    EXPECT_EQ(gShopSequence, SHOP_SEQUENCE_NONE);
    EXPECT_EQ(getWorldMapPlace(), TOWN_PLACE_SHOP);

    static GameState fresh;
    initNewGameState(fresh);
    const GameState& game = runningGameState();
    EXPECT_EQ(game.money, fresh.money);
    EXPECT_EQ(game.date, 0);
    EXPECT_EQ(game.loopCount, 0);
    EXPECT_EQ(game.storageCount, 0);
    EXPECT_EQ(game.storage[0], -1);
    EXPECT_EQ(game.weekEndDay, fresh.weekEndDay);
    EXPECT_EQ(game.playMode, PLAY_MODE_STORY);
    EXPECT_LE(game.playTicks, 1);
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a) {
        EXPECT_EQ(game.adventurers[a].level, fresh.adventurers[a].level) << a;
        EXPECT_EQ(game.adventurers[a].equipment[0], fresh.adventurers[a].equipment[0]) << a;
    }
    // The market is stocked for the first day.
    EXPECT_EQ(game.marketStock[findItemDef(1)].stock, 100);      // unlimited
    EXPECT_GE(game.marketStock[findItemDef(4)].stock, 3);        // three to five, growing
    EXPECT_LE(game.marketStock[findItemDef(4)].stock, 5);
    // The save file is left alone.
    EXPECT_EQ(gSaveImage.slots[0].money, 99999);
    EXPECT_EQ(gLastSaveSlot, 5);
}

// A damaged stage index without the shop's stage: the New Game is told it
// cannot start and the title comes back, rather than an empty shop.
TEST_F(TitleStart, ANewGameWhoseStageIsMissingIsToldAndReturnsToTheTitle) {
    boot();
    const char damaged[] = "\x01\x02garbage\r\n";
    parseStageIndex(damaged, sizeof damaged - 1);   // as the start-up reads a damaged file
    ASSERT_EQ(gStageCount, 0);
    int32_t boxes = gHeadlessMessageBoxes.total;
    chooseEntry(TITLE_NEW_GAME);
    ASSERT_TRUE(runUntil([&] { return gHeadlessMessageBoxes.total > boxes; }, 100));
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[gHeadlessMessageBoxes.count - 1].caption, "error");
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[gHeadlessMessageBoxes.count - 1].text,
                 "idx/stage.idx: stage 0 is missing; the game returns to the title");
    EXPECT_EQ(gGameMode, GAME_MODE_TITLE);
    EXPECT_EQ(gSceneLoading, 0);
    run(60);
    EXPECT_EQ(gGameMode, GAME_MODE_TITLE);
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxes + 1);
    EXPECT_NE(gScenePictures[0].texture, nullptr) << "the title's pictures are back";
}

TEST(TitleStartRules, ALoadedGameResumesWhereItWasSaved) {
    const int32_t WANT[][2] = {{0, GAME_MODE_FIELD},  {1, GAME_MODE_WORLD_MAP}, {2, GAME_MODE_GAME_OVER},
                               {3, GAME_MODE_MARKET}, {4, GAME_MODE_MARKET},    {7, GAME_MODE_WORLD_MAP},
                               {-1, GAME_MODE_WORLD_MAP}};
    for (const auto& c : WANT) EXPECT_EQ(resumeGameMode(c[0]), c[1]) << "resume location " << c[0];
}

TEST_F(TitleStart, LoadingRepairsStorageAndEquipmentAndResumesInTheMarket) {
    const int32_t sword = makeItemKey(1, 0, 2);
    const int32_t boots = makeItemKey(1501, 0, 0);
    const int32_t gone = makeItemKey(9876, 0, 0);
    const int32_t kept = makeItemKey(1301, 0, 1);
    GameState& saved = playedSlot(3);
    saved.storage[0] = sword;
    saved.storage[1] = gone;
    saved.storage[2] = gone + 1;
    saved.storage[3] = boots;
    saved.storageCount = 4;
    saved.keptBag[0] = kept;
    saved.keptBag[1] = 0;   // not an item: left as it is
    saved.keptBag2[5] = sword;
    const int32_t stiletto = makeItemKey(101, ITEM_KEY_POSSESSED, 0);   // Rerado's, not Vuror's
    saved.adventurers[0].equipment[0] = stiletto;
    saved.adventurers[0].savedEquipment[0] = stiletto;
    saved.resumeLocation = 4;
    saved.shopSize = 2;
    saved.dayPhase = 2;
    saved.merchantLevel = 30;
    // A game that holds more than one of a rare item gets a new stock.
    for (MarketStockEntry& e : saved.marketStock) e.stock = 5;
    testSaveImage().header.lastSaveSlot = 3;
    boot();
    gBag[0] = sword;   // left over from a game played before in this process
    ASSERT_LT(findItemDef(9876), 0);
    ASSERT_EQ(canAdventurerUseItem(stiletto, 0), 0);

    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    ASSERT_EQ(gTitle.rowCursor, 3);
    tapButtons(BUTTON_CONFIRM, 0);
    EXPECT_EQ(effectStarts(SOUND_CONFIRM), 2);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 100));
    EXPECT_EQ(gGameMode, GAME_MODE_MARKET);
    EXPECT_EQ(gMarketMode, MARKET_MODE_MARKET);   // not the guild: its own pictures load
    EXPECT_EQ(gStageIndex, 2);
    EXPECT_EQ(gLastSaveSlot, 3);
    EXPECT_EQ(gBagCapacity, 30);
    EXPECT_EQ(gBag[0], -1);

    const GameState& game = runningGameState();
    const int32_t want[] = {sword, boots, kept, sword};
    ASSERT_EQ(game.storageCount, 4);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(game.storage[i], want[i]) << "entry " << i;
    EXPECT_EQ(game.storage[4], -1);
    EXPECT_EQ(game.keptBag[0], -1);
    EXPECT_EQ(game.keptBag[1], 0);
    EXPECT_EQ(game.keptBag2[5], -1);
    const int32_t initialSword = makeItemKey(getInitialEquipment(0, 0), ITEM_KEY_POSSESSED, 0);
    EXPECT_EQ(game.adventurers[0].equipment[0], initialSword);
    EXPECT_EQ(game.adventurers[0].savedEquipment[0], initialSword);
    // What she can use stays.
    EXPECT_EQ(game.adventurers[1].equipment[0], saved.adventurers[1].equipment[0]);
    EXPECT_EQ(game.marketStock[findItemDef(2409)].stock, 0);    // rare: none at first
    EXPECT_EQ(game.marketStock[findItemDef(1)].stock, 100);
}

// Storage is repaired a block at a time, a block of one key whole: runs of
// one key aligned with the blocks and not, empty and unknown runs, holes, and
// the short last block keep exactly the known keys, in order.
TEST_F(TitleStart, StorageRepairKeepsTheKnownKeysInOrderAcrossBlocks) {
    boot();
    const int32_t sword = makeItemKey(1, 0, 2);
    const int32_t boots = makeItemKey(1501, 0, 0);
    const int32_t gone = makeItemKey(9876, 0, 0);
    ASSERT_LT(findItemDef(9876), 0);
    static GameState game;
    int32_t* s = game.storage;
    std::fill(s, s + STORAGE_ENTRY_COUNT, gone + 5);       // long runs of an unknown item
    std::fill(s, s + 64, sword);                           // one whole block
    std::fill(s + 64, s + 128, gone);                      // a whole block dropped
    std::fill(s + 128, s + 192, ITEM_KEY_NONE);            // an empty block
    std::fill(s + 256, s + 301, boots);                    // runs across block edges
    std::fill(s + 301, s + 320, gone);
    std::fill(s + 320, s + 400, sword);
    s[330] = ITEM_KEY_NONE;
    s[331] = gone;
    std::fill(s + 19000, s + 19100, ITEM_KEY_NONE);
    s[19967] = boots;
    std::fill(s + 19968, s + STORAGE_ENTRY_COUNT, sword);  // the short last block
    std::vector<int32_t> want;
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; ++i)
        if (s[i] != ITEM_KEY_NONE && findItemDef(itemKeyId(s[i])) >= 0) want.push_back(s[i]);
    ASSERT_EQ(want.size(), 64u + 45u + 78u + 1u + 32u);

    repairStorage(game);
    ASSERT_EQ(game.storageCount, (int32_t)want.size());
    for (int32_t i = 0; i < game.storageCount; ++i) ASSERT_EQ(s[i], want[(size_t)i]) << "entry " << i;
    for (int32_t i = game.storageCount; i < STORAGE_ENTRY_COUNT; ++i) ASSERT_EQ(s[i], ITEM_KEY_NONE) << "entry " << i;
}

TEST_F(TitleStart, ADamagedLevelOrExperienceRangeIsRepairedOnLoad) {
    GameState& saved = playedSlot(0);
    saved.merchantLevel = 2000000000;
    saved.levelExpFloor = -2000000000;
    saved.levelExpNext = 2000000000;   // the range overflows 32 bits
    saved.adventurers[2].level = 2000000000;
    saved.adventurers[3].levelStartExp = 900;
    saved.adventurers[3].nextLevelExp = -900;
    const int32_t level3 = saved.adventurers[3].level;
    boot();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 100));
    const GameState& game = runningGameState();
    EXPECT_EQ(game.merchantLevel, 98);
    EXPECT_GE(game.levelExpFloor, 0);
    EXPECT_GT(game.levelExpNext, game.levelExpFloor);
    EXPECT_EQ(gBagCapacity, bagCapacityForLevel(98));
    EXPECT_EQ(game.adventurers[2].level, 98);
    EXPECT_EQ(game.adventurers[2].nextLevelExp, getExpForLevel(99));
    EXPECT_EQ(game.adventurers[3].level, level3);
    EXPECT_EQ(game.adventurers[3].levelStartExp, getExpForLevel(level3));
    EXPECT_EQ(game.adventurers[3].nextLevelExp, getExpForLevel(level3 + 1));
    run(10);   // the shop's HUD draws the gauge from the repaired range
}

TEST_F(TitleStart, ADamagedShopSizeStartsInTheSmallestShop) {
    playedSlot(0).shopSize = 40;
    boot();
    chooseEntry(TITLE_LOAD);
    run(TITLE_WINDOW_SLIDE);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 100));
    EXPECT_EQ(gStageIndex, 0);
    EXPECT_EQ(runningGameState().shopSize, 0);
}

// Closes the New Game+ notice that opens over the card list.
static void closeNotice(TitleGame& game) {
    ASSERT_GT(gMessageWindow.openCounter, 0);
    ASSERT_TRUE(game.runUntil([] { return gMessageWindow.openCounter == 8; }, 20));
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(game.runUntil([] { return gMessageWindow.openCounter == 0; }, 20));
    game.run(1);
}

TEST_F(TitleStart, NewGamePlusCarriesTheClearedGameIntoANewLoop) {
    GameState& saved = clearedSlot(7, true);
    saved.loopCount = 2;
    saved.money = 50000;
    saved.merchantLevel = 30;
    saved.storyFlags[53] = 1;   // kept by Survival only
    saved.storyFlags[FLAG_SELLERS] = 1;   // kept always
    saved.storyFlags[59] = 1;   // summarised into FLAG_RUN_SUMMARY_FIRST
    saved.adventurers[2].adventures = 9;
    boot();
    chooseEntry(TITLE_NEW_GAME_PLUS);
    run(TITLE_WINDOW_SLIDE);
    EXPECT_EQ(gTitle.cardListMode, 1);
    closeNotice(*this);
    ASSERT_EQ(gTitle.slotList[gTitle.rowCursor], 7);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 100));

    const GameState& game = runningGameState();
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD);
    EXPECT_EQ(game.playMode, PLAY_MODE_NEW_GAME_PLUS);
    EXPECT_EQ(game.loopCount, 3);
    EXPECT_EQ(game.money, 1000);
    EXPECT_EQ(game.date, 1);
    EXPECT_EQ(game.shopSize, 0);
    EXPECT_EQ(game.merchantLevel, 30);
    EXPECT_EQ(game.storyFlags[53], 0);
    EXPECT_EQ(game.storyFlags[FLAG_SELLERS], 1);
    EXPECT_EQ(game.storyFlags[FLAG_RUN_SUMMARY_FIRST], 1);
    EXPECT_EQ(game.storyFlags[FLAG_ADVENTURER_CARD + 0], 1);
    EXPECT_EQ(game.adventurers[2].adventures, 0);
    EXPECT_EQ(game.storageCount, 1);
    EXPECT_EQ(gLastSaveSlot, 7);
}

using TitleSurvival = TitleGame;

// The popup opens, its choice toggles, cancel closes it; chosen again, the
// card list opens over it and its cancel returns to the popup; a slot then
// starts Survival Hell from the reset record.
TEST_F(TitleSurvival, ThePopupLeadsToTheCardListAndBack) {
    GameState& saved = clearedSlot(4, true);
    saved.money = 70000;
    saved.merchantLevel = 12;
    boot();
    chooseEntry(TITLE_SURVIVAL);
    EXPECT_EQ(gTitle.survivalPopup, 1);
    run(TITLE_SURVIVAL_POPUP_OPEN);
    EXPECT_EQ(gTitle.survivalPopup, TITLE_SURVIVAL_POPUP_OPEN);
    tapButtons(BUTTON_DOWN);
    EXPECT_EQ(gTitle.survivalChoice, 1);
    tapButtons(BUTTON_UP);
    EXPECT_EQ(gTitle.survivalChoice, 0);
    tapButtons(BUTTON_CANCEL, 0);
    EXPECT_EQ(effectStarts(SOUND_CANCEL), 1);
    ASSERT_TRUE(runUntil([] { return gTitle.survivalPopup == 0; }, 20));
    run(1);
    EXPECT_TRUE(isTitleIdle());

    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS - 1);
    ASSERT_TRUE(runUntil([] { return gTitle.survivalPopup == TITLE_SURVIVAL_POPUP_OPEN; }, 20));
    run(1);
    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS);
    EXPECT_EQ(gTitle.windowKind, TITLE_WINDOW_SLOTS);
    run(TITLE_WINDOW_SLIDE - 1);
    closeNotice(*this);
    tapButtons(BUTTON_CANCEL, TITLE_WINDOW_SLIDE + 1);
    EXPECT_EQ(gTitle.windowOpen, 0);
    EXPECT_EQ(gTitle.survivalPopup, TITLE_SURVIVAL_POPUP_OPEN);
    EXPECT_EQ(gTitle.menuCodes[gTitle.menuCursor], TITLE_SURVIVAL);

    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS + TITLE_WINDOW_SLIDE);
    closeNotice(*this);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gGameMode != GAME_MODE_TITLE; }, 100));
    const GameState& game = runningGameState();
    EXPECT_EQ(game.playMode, PLAY_MODE_SURVIVAL);
    EXPECT_EQ(game.survivalHell, 1);
    EXPECT_EQ(game.date, 0);
    EXPECT_EQ(game.money, 1000);
    EXPECT_EQ(game.merchantLevel, 0);
    EXPECT_EQ(game.storageCount, 0);
    EXPECT_EQ(game.loopCount, 1);
}

}   // namespace
