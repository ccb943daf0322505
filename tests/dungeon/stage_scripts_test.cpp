// The shop stages' story triggers on the running game: which event each
// state of the flags, date, day phase and shop clock starts, what the start
// sets, the chains' choices, survival, the opening hold and events that
// wait for the running one; and, on the booted game, a new game's first
// scene.
#include "dungeon/stage_scripts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adventurers/adventurers_state.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/stage_index.h"
#include "field/field.h"
#include "field/field_state.h"
#include "game/state_registry.h"
#include "platform/window.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "game/input_script.h"
#include "shop/shop_state.h"
#include "story/story_state.h"

namespace {

constexpr int32_t SHOP_STAGE = 0;
constexpr int32_t DUNGEON_STAGE = 5;

struct EventSeen {
    int32_t major;
    int32_t minor;
};

}  // namespace

class StageScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedHooks = gSceneHooks;
        gSceneHooks = SceneHooks{};
        gSceneHooks.startEvent = [] {};
        memcpy(savedStages, gStages, sizeof savedStages);
        savedStageCount = gStageCount;
        for (int32_t i = 0; i <= DUNGEON_STAGE; i++) {
            gStages[i].stageCode = i;
            gStages[i].maptype = i <= SHOP_STAGE_LAST ? 0 : 1;
        }
        gStageCount = DUNGEON_STAGE + 1;
        clearState();
    }
    void TearDown() override {
        endEvent();
        memcpy(gStages, savedStages, sizeof savedStages);
        gStageCount = savedStageCount;
        gSceneHooks = savedHooks;
    }
    // A morning on the shop floor of a game with no flag set, no event.
    static void clearState() {
        endEvent();
        gStageIndex = SHOP_STAGE;
        gGameMode = GAME_MODE_FIELD;
        memset(&runningGameState(), 0, sizeof(GameState));
        resetLoaderState();
        resetFieldEventState();
        resetFieldFrameState();
        resetPartyState();
        resetFades();
        gShopSequence = SHOP_SEQUENCE_NONE;
        gFieldTicks = 0;
        gShopDayPhase = 0;
        gTimeOfDay = 0.0f;
        gEventNumber = EventNumber{-1, -1};
    }

    static GameState& game() { return runningGameState(); }
    static bool flag(int32_t n) { return game().storyFlags[n] != 0; }
    static void setFlags(const uint8_t* flags, int32_t count) {
        for (int32_t i = 0; i < count && flags[i] != 0; i++) game().storyFlags[flags[i]] = 1;
    }
    // The event loads and ends at once, as a scene the player skips.
    static void endEvent() {
        if (gEventReady == 0) return;
        waitForLoaderThread();
        pollLoaderThread();
        gEventReady = 0;
        gBlackout = 0;
    }
    // Frames of the shop floor, each ending any event it started, counting
    // the shop clock on; the events started, in order.
    static std::string runFrames(int32_t n) {
        std::string seen;
        for (int32_t i = 0; i < n; i++) {
            gFieldTicks++;
            runStageScript();
            if (gEventReady != 0) {
                seen += std::to_string(gEventNumber.major) + "_" + std::to_string(gEventNumber.minor) + " ";
                endEvent();
            }
        }
        return seen;
    }

    SceneHooks savedHooks{};
    StageRecord savedStages[STAGE_CODE_COUNT];
    int32_t savedStageCount = 0;
    GameStateScope state;
};

namespace {

// One frame of the story triggers from a state of the running game. Flag
// lists end at the first 0.
struct TriggerCase {
    const char* name;
    uint8_t flags[12];
    int32_t date;
    int32_t dayPhase;
    int32_t sequence;       // gShopSequence
    int32_t ticks;          // gFieldTicks
    int32_t major, minor;   // -1: no event starts
    int32_t loaderMode;
    int32_t blackout;
    uint8_t setAfter[4];
    uint8_t clearAfter[4];
};

const TriggerCase TRIGGER_CASES[] = {
    {"a new game's first scene", {}, 0, 0, 0, 5, 1, 1, 1, 1, {16}, {}},
    {"then the second", {16}, 0, 0, 0, 5, 1, 2, 0, 0, {17}, {}},
    {"the game turned endless", {16, 17, 180}, 40, 0, 0, 5, 12, 1, 1, 1, {}, {180}},
    {"shelf lesson", {16, 17, 20}, 0, 0, 0, 5, 1, 4, 0, 0, {22, 18}, {}},
    {"the first payment day", {16, 17}, 7, 0, 0, 5, 0, 6, 0, 0, {65}, {66}},
    {"day 31", {16, 17, 65, 66}, 31, 0, 0, 5, 1, 17, 0, 0, {75}, {}},
    {"day 35", {16, 17, 65, 66, 75}, 35, 0, 0, 5, 1, 18, 0, 0, {76}, {}},
    // Rows 13a/13b wait for the first two days to pass.
    {"day 0 has no time lecture", {16, 17}, 0, 2, 0, 5, -1, -1, 0, 0, {}, {66}},
    {"nor day 1", {16, 17}, 1, 2, 0, 5, -1, -1, 0, 0, {}, {66}},
    {"day 2 opens it", {16, 17}, 2, 0, 0, 5, 2, 15, 0, 0, {66}, {}},
    {"its sequel waits for phase 2", {16, 17, 66}, 3, 1, 0, 5, -1, -1, 0, 0, {}, {67}},
    {"and comes in phase 2", {16, 17, 66}, 3, 2, 0, 5, 2, 14, 0, 0, {67}, {}},
    {"the townsfolk leave", {16, 17, 66, 67, 200}, 3, 0, 0, 5, 0, 17, 0, 0, {201}, {}},
    // Adventurers 0..6 available through either flag; 7 is not asked.
    {"the cast gathers", {16, 17, 65, 66, 67, 4, 5, 6, 211, 212, 213, 214}, 36, 0, 1, 195, 12, 2, 0, 0, {170}, {}},
    {"one adventurer short", {16, 17, 65, 66, 67, 4, 5, 6, 212, 213, 214}, 36, 0, 1, 195, -1, -1, 0, 0, {}, {170}},
    {"too late in the morning", {16, 17, 65, 66, 67, 4, 5, 6, 211, 212, 213, 214}, 36, 0, 1, 200, -1, -1, 0, 0, {},
     {170}},
    {"the shop closes late", {16, 17, 116}, 0, 3, 0, 5, 4, 4, 1, 1, {117}, {116}},
    {"the morning after", {16, 17, 117}, 0, 0, 0, 5, 4, 5, 0, 0, {118}, {117}},
    {"the window row stocked", {16, 17, 27}, 0, 0, 0, 5, 1, 5, 0, 0, {28}, {}},
    {"every shelf stocked", {16, 17, 27, 28, 29}, 0, 0, 0, 5, 1, 6, 0, 0, {30, 31}, {}},
    {"the counter lessons done", {16, 17, 32}, 0, 0, 0, 5, 1, 7, 0, 0, {33, 38}, {}},
    {"the scripted day done", {16, 17, 34}, 0, 0, 0, 5, 1, 8, 2, 0, {35, 41, 39}, {}},
    {"the tutorial's second scene", {16, 17, 35, 41}, 0, 0, 0, 5, 2, 1, 1, 1, {42, 43}, {}},
    {"its third", {16, 17, 35, 41, 42, 43}, 0, 0, 0, 5, 2, 2, 1, 1, {44, 45}, {}},
    {"the tutorial's last scene", {16, 17, 35, 42, 44, 46, 49, 50}, 1, 0, 0, 5, 2, 6, 0, 0, {51, 52}, {}},
    // A chain row whose flag test passes but whose other condition fails
    // ends its chain: the rows after it are not tried.
    {"16b out of phase holds back 16c", {16, 17, 117, 27}, 0, 1, 0, 5, -1, -1, 0, 0, {}, {28}},
    {"16c without its flag holds back 16d", {16, 17, 29}, 0, 0, 0, 5, -1, -1, 0, 0, {}, {30}},
    {"18b without flag 41", {16, 17, 35}, 0, 0, 0, 5, -1, -1, 0, 0, {}, {42}},
    // The rows before the table.
    {"the story visit runs instead", {144}, 8, 0, 0, 5, -1, -1, 0, 0, {}, {16}},
    {"event 0_8 at tick 630", {168}, 0, 0, 0, 630, 0, 8, 0, 0, {}, {168}},
    {"only at tick 630", {168}, 0, 0, 0, 629, -1, -1, 0, 0, {168}, {16}},
    {"event 9_1 at tick 300", {165}, 15, 0, 0, 300, 9, 1, 0, 0, {166, 165}, {}},
    {"once", {165, 166}, 15, 0, 0, 300, -1, -1, 0, 0, {}, {16}},
    {"the standing walker holds every row", {181}, 0, 0, 0, 5, -1, -1, 0, 0, {}, {16}},
    {"the morning event", {16, 17, 118}, 3, 0, 1, 1, 7, 1, 1, 1, {149}, {}},
    {"not on the story visit's day", {16, 17, 118}, 8, 0, 1, 1, -1, -1, 0, 0, {}, {149}},
    {"not past the first tick", {16, 17, 118}, 3, 0, 1, 2, -1, -1, 0, 0, {}, {149}},
    // The opening hold: on a new morning only the rows before the table.
    {"held at tick 189", {}, 0, 0, 1, 189, -1, -1, 0, 0, {}, {16}},
    {"free at tick 190", {}, 0, 0, 1, 190, 1, 1, 1, 1, {16}, {}},
    {"no hold back from the town map", {}, 0, 0, 2, 5, 1, 1, 1, 1, {16}, {}},
};

}  // namespace

TEST_F(StageScriptTest, EachStateStartsItsEventAndSetsItsFlags) {
    for (const TriggerCase& c : TRIGGER_CASES) {
        clearState();
        setFlags(c.flags, 12);
        game().date = c.date;
        game().dayPhase = c.dayPhase;
        gShopSequence = c.sequence;
        gFieldTicks = c.ticks;
        runStageScript();
        if (c.major < 0) {
            EXPECT_EQ(gEventReady, 0) << c.name << ": started " << gEventNumber.major << "_" << gEventNumber.minor;
        } else {
            EXPECT_EQ(gEventReady, 2) << c.name;
            EXPECT_EQ(gEventNumber.major, c.major) << c.name;
            EXPECT_EQ(gEventNumber.minor, c.minor) << c.name;
            EXPECT_EQ(gEventLoaderMode, c.loaderMode) << c.name;
        }
        EXPECT_EQ(gBlackout, c.blackout) << c.name;
        for (uint8_t f : c.setAfter) {
            if (f != 0) {
                EXPECT_TRUE(flag(f)) << c.name << ": flag " << int(f) << " clear";
            }
        }
        for (uint8_t f : c.clearAfter) {
            if (f != 0) {
                EXPECT_FALSE(flag(f)) << c.name << ": flag " << int(f) << " set";
            }
        }
    }
}

TEST_F(StageScriptTest, SurvivalRunsOnlyItsOpeningScene) {
    game().playMode = PLAY_MODE_SURVIVAL;
    game().date = 7;   // a payment day, and flag 16 clear: neither counts in survival
    runStageScript();
    EXPECT_EQ(gEventNumber.major, 0);
    EXPECT_EQ(gEventNumber.minor, 18);
    EXPECT_EQ(gEventLoaderMode, 1);
    EXPECT_EQ(gBlackout, 1);
    EXPECT_TRUE(flag(164));
    endEvent();
    EXPECT_EQ(runFrames(400), "");
    EXPECT_FALSE(flag(16));
    EXPECT_FALSE(flag(65));

    memset(&game(), 0, sizeof(GameState));
    game().playMode = PLAY_MODE_SURVIVAL;
    game().survivalHell = 1;
    runStageScript();
    EXPECT_EQ(gEventNumber.minor, 19);
}

TEST_F(StageScriptTest, ATriggerWaitsForTheRunningEventAndStartsOnceItEnds) {
    gEventReady = 1;   // an event of the shop runs
    gEventNumber = EventNumber{10, 6};
    runStageScript();
    EXPECT_EQ(gEventNumber.major, 10);
    EXPECT_FALSE(flag(16)) << "the flag goes with the event's start";
    EXPECT_EQ(gBlackout, 0);

    gEventReady = 0;
    runStageScript();
    EXPECT_EQ(gEventNumber.major, 1);
    EXPECT_EQ(gEventNumber.minor, 1);
    EXPECT_TRUE(flag(16));
    // Row 8b's condition holds now, but the event just started is running.
    runStageScript();
    EXPECT_EQ(gEventNumber.minor, 1);
    EXPECT_FALSE(flag(17));
}

TEST_F(StageScriptTest, EveryEventPlaysOncePerGame) {
    EXPECT_EQ(runFrames(300), "1_1 1_2 ");
    game().date = 2;
    EXPECT_EQ(runFrames(300), "2_15 ");
    game().dayPhase = 2;
    game().date = 7;
    EXPECT_EQ(runFrames(300), "0_6 2_14 ");
}

TEST_F(StageScriptTest, TheTutorialDaysFollowOneAnotherThroughTheHold) {
    game().storyFlags[16] = game().storyFlags[17] = 1;
    game().storyFlags[34] = 1;
    game().storyFlags[23] = game().storyFlags[25] = game().storyFlags[32] = game().storyFlags[40] = 1;
    game().storyFlags[33] = 1;   // the counter lessons' scene has been seen
    game().dayPhase = 3;
    game().storyFlags[96] = game().storyFlags[99] = 1;
    gTimeOfDay = 3.0f;
    gShopSequence = SHOP_SEQUENCE_FROM_TOWN;
    // 1_8 .. 2_3 come frame after frame; 2_3 begins the next morning.
    EXPECT_EQ(runFrames(4), "1_8 2_1 2_2 2_3 ");
    EXPECT_EQ(game().date, 1);
    EXPECT_EQ(game().dayPhase, 0);
    EXPECT_EQ(gTimeOfDay, 0.0f);
    for (int32_t f : {23, 25, 32, 40, 96, 99}) EXPECT_FALSE(flag(f)) << "flag " << f;
    for (int32_t f : {18, 46, 48}) EXPECT_TRUE(flag(f)) << "flag " << f;
    // 2_5 brings the heroine in by the door on that morning; 2_6 waits for
    // the morning's opening hold.
    EXPECT_EQ(runFrames(1), "2_5 ");
    EXPECT_EQ(gShopSequence, SHOP_SEQUENCE_MORNING);
    EXPECT_EQ(gFieldTicks, 0);
    EXPECT_EQ(runFrames(189), "");
    EXPECT_EQ(runFrames(1), "2_6 ");
    EXPECT_EQ(gFieldTicks, 190);
    EXPECT_EQ(runFrames(300), "");
}

TEST_F(StageScriptTest, TheLateClosingSceneClosesAPhasePastTheLast) {
    game().storyFlags[16] = game().storyFlags[17] = game().storyFlags[116] = 1;
    game().dayPhase = 5;
    runStageScript();
    EXPECT_EQ(gEventNumber.minor, 4);
    EXPECT_EQ(game().dayPhase, 4);
    EXPECT_EQ(gShopDayPhase, 1);

    clearState();
    game().storyFlags[16] = game().storyFlags[17] = game().storyFlags[116] = 1;
    game().dayPhase = 3;
    runStageScript();
    EXPECT_EQ(gEventNumber.minor, 4);
    EXPECT_EQ(game().dayPhase, 3);
    EXPECT_EQ(gShopDayPhase, 0);
}

TEST_F(StageScriptTest, DungeonFloorsDoNotRunTheStoryTriggers) {
    gStageIndex = DUNGEON_STAGE;
    gRun.dungeonIndex = 1;
    gFloorIndex = 3;
    runStageScript();
    EXPECT_EQ(gEventReady, 0);
    EXPECT_FALSE(flag(16));
    gStageIndex = STAGE_CODE_COUNT;   // no stage loaded: nothing runs
    runStageScript();
    EXPECT_EQ(gEventReady, 0);
}

// The booted game: a new game started from the title reaches its shop
// floor, where the story's first scene is asked for.
TEST(StageScriptGame, ANewGamesShopFloorAsksForItsFirstScene) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    constexpr int32_t CONFIRM_TICK = 10;
    constexpr int32_t LIMIT = 400;
    bool requested = false;
    for (int32_t t = 0; t < LIMIT && !requested; t++) {
        uint16_t buttons = t == CONFIRM_TICK || t == CONFIRM_TICK + 1 ? BUTTON_CONFIRM : 0;
        holdButtons(buttons, 1);
        requested = runningGameState().storyFlags[16] != 0;
    }
    ASSERT_TRUE(requested) << "no scene asked for in " << LIMIT << " ticks";
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD);
    EXPECT_FALSE(isSceneLoading());
    EXPECT_EQ(gStages[gStageIndex].maptype, 0);
    EXPECT_EQ(gEventNumber.major, 1);
    EXPECT_EQ(gEventNumber.minor, 1);
    EXPECT_NE(gEventReady, 0);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    harnessShutdown();
}
