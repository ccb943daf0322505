// The field frame on a dungeon floor: the gate scan and prompt, slow motion,
// presses held over a hit-stop, the run's end with its voice and counters,
// and the best-time slots.
#include "dungeon/field_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adventurers/adventurers_state.h"
#include "dungeon/departure.h"
#include "dungeon/dungeon.h"
#include "dungeon/floor_objects.h"
#include "dungeon/pickups.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "game/state_registry.h"
#include "platform/window.h"

namespace {

constexpr int32_t DUNGEON_STAGE = 5;

}  // namespace

class FieldFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        memcpy(savedStages, gStages, sizeof savedStages);
        savedStageCount = gStageCount;
        for (int32_t i = 0; i <= DUNGEON_STAGE; i++) {
            gStages[i].stageCode = i;
            gStages[i].maptype = i <= SHOP_STAGE_LAST ? 0 : 1;
        }
        gStageCount = DUNGEON_STAGE + 1;
        gStageIndex = DUNGEON_STAGE;
        GameState& game = runningGameState();
        memset(&game, 0, sizeof game);
        resetFieldFrameState();
        resetFloorStatus();
        resetFloorObjects();
        resetFloorConditions();
        resetPartyState();
        resetDialogState();
        resetInputState();
        resetFades();
        resetOverlayScreen();
        gStageChange = StageChange{};
        gFieldCamera.cameraMode = CAMERA_FOLLOW;
        gRun.playerControl = PLAYER_FREE;
        gRun.dungeonIndex = 1;
        gFloorIndex = 2;
        // Sound counts as ready while no clip exists, so each voice asked
        // for shows up as a "file not found" box naming it.
        gSound.ready = 1;
    }
    void TearDown() override {
        memcpy(gStages, savedStages, sizeof savedStages);
        gStageCount = savedStageCount;
        gWindow = previousWindow;
    }

    static void placeGate(int32_t slot, int32_t kind, int32_t state, float x, float z) {
        FloorObject& o = gFloorObjects[slot];
        o.kind = kind;
        o.state = state;
        o.position = Vector3{x, 0.0f, z};
        o.size = Vector3{1.0f, 1.0f, 1.0f};
    }
    // One frame with the character put back where the test stands it (the
    // dungeon control of the frame moves it too).
    void frame(uint16_t pressed = 0) {
        gParty.positions[0] = stand;
        gInputState[0].pressed = pressed;
        updateFieldFrame();
    }
    // Frames with cancel held until the gate prompt is refused (at most 60).
    void refuseGate() {
        for (int32_t i = 0; i < 60 && gRun.gatePrompt != GATE_PROMPT_REFUSED; i++) frame(BUTTON_CANCEL);
    }
    // How often a clip was asked for (each shows as a "file not found" box).
    static int32_t voiceCount(const char* path) {
        int32_t n = 0;
        const HeadlessMessageBoxes& b = gHeadlessMessageBoxes;
        for (int32_t i = 0; i < b.count; i++) n += strcmp(b.boxes[i].text, path) == 0 ? 1 : 0;
        return n;
    }

    const WindowBackend* previousWindow = nullptr;
    Vector3 stand = {0.0f, 0.0f, 0.0f};
    StageRecord savedStages[STAGE_CODE_COUNT];
    int32_t savedStageCount = 0;
    GameStateScope state;
};

TEST_F(FieldFrameTest, AGateIsNoticedWithinThreeAndArmsWithinOne) {
    struct Case { float distance; int32_t noticed, armed; };
    const Case cases[] = {{3.0f, 0, 0}, {2.99f, 1, 0}, {1.0f, 1, 0}, {0.99f, 1, 1}, {0.0f, 1, 1}};
    for (const Case& c : cases) {
        resetFieldFrameState();
        resetFloorStatus();
        resetDialogState();
        gRun.playerControl = PLAYER_FREE;
        placeGate(7, FLOOR_OBJECT_RETURN_GATE, FLOOR_OBJECT_ACTIVE, c.distance * 0.6f, c.distance * 0.8f);
        frame();
        EXPECT_EQ(gRun.gateIsReturn, c.noticed) << "distance " << c.distance;
        // Armed at 1, the same frame's prompt step opens the window at 2.
        EXPECT_EQ(gRun.gatePrompt, c.armed ? 2 : 0) << "distance " << c.distance;
        EXPECT_EQ(gRun.gateGuard, c.armed ? GATE_GUARD_FRAMES : 0) << "distance " << c.distance;
        EXPECT_EQ(gYesNoWindow.openCounter > 0, c.armed == 1) << "distance " << c.distance;
    }
    EXPECT_STREQ(gYesNoWindow.lines[0], "Return to town now?");
}

TEST_F(FieldFrameTest, AnUnopenedReturnGateNeverArmsAndADisabledCircleIsIgnored) {
    placeGate(0, FLOOR_OBJECT_RETURN_GATE, FLOOR_OBJECT_IDLE, 0.0f, 0.2f);
    placeGate(1, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_HIDDEN, 0.2f, 0.0f);
    for (int32_t i = 0; i < 100; i++) frame();
    EXPECT_EQ(gRun.gatePrompt, 0);
    EXPECT_EQ(gYesNoWindow.openCounter, 0);
    // The same circle in any other state arms.
    gFloorObjects[1].state = FLOOR_OBJECT_OPENED;
    frame();
    EXPECT_EQ(gRun.gatePrompt, 2);
    EXPECT_EQ(gRun.gateIsReturn, 0);
    EXPECT_STREQ(gYesNoWindow.lines[0], "Go to the next floor?");
}

TEST_F(FieldFrameTest, AfterNoItReArmsOnlyBeyondOneAndAfterTheGuard) {
    placeGate(3, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_IDLE, 0.0f, 0.0f);
    stand = Vector3{0.5f, 0.0f, 0.0f};
    frame();
    ASSERT_EQ(gRun.gatePrompt, 2);
    refuseGate();
    ASSERT_EQ(gRun.gatePrompt, GATE_PROMPT_REFUSED);
    EXPECT_EQ(gRun.playerControl, PLAYER_FREE);
    int32_t guardLeft = gRun.gateGuard;
    ASSERT_GT(guardLeft, 5) << "the refusal came well before the guard ran out";
    // Standing still, and walking about within 1.0, keeps it refused.
    for (float x : {0.5f, 0.9f, 1.0f, 0.2f}) {
        stand.x = x;
        frame();
        EXPECT_EQ(gRun.gatePrompt, GATE_PROMPT_REFUSED) << "at " << x;
    }
    stand.x = 1.01f;
    frame();
    EXPECT_EQ(gRun.gatePrompt, 0);
    // Back in reach while the guard still runs: nothing until it ends.
    stand.x = 0.5f;
    int32_t frames = 0;
    while (gRun.gatePrompt == 0 && frames < 60) {
        frame();
        frames++;
    }
    EXPECT_EQ(gRun.gatePrompt, 2);
    EXPECT_EQ(frames, guardLeft - 5) << "armed on the frame the 30-frame guard runs out";
}

TEST_F(FieldFrameTest, OfTwoGatesInReachTheLastInPoolOrderDecides) {
    // The circle in front arms the prompt; the return gate later in the pool names it.
    placeGate(3, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_IDLE, 0.0f, 0.5f);
    placeGate(10, FLOOR_OBJECT_RETURN_GATE, FLOOR_OBJECT_ACTIVE, 0.0f, -2.0f);
    frame();
    EXPECT_EQ(gRun.gateIsReturn, 1);
    EXPECT_STREQ(gYesNoWindow.lines[0], "Return to town now?");

    resetFieldFrameState();
    resetFloorStatus();
    resetDialogState();
    resetFloorObjects();
    gRun.playerControl = PLAYER_FREE;
    placeGate(3, FLOOR_OBJECT_RETURN_GATE, FLOOR_OBJECT_ACTIVE, 0.0f, 0.5f);
    placeGate(10, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_IDLE, 0.0f, -2.0f);
    frame();
    EXPECT_EQ(gRun.gateIsReturn, 0);
    EXPECT_STREQ(gYesNoWindow.lines[0], "Go to the next floor?");
}

TEST_F(FieldFrameTest, SlowMotionRunsOnlyEveryThirdFrame) {
    gRun.slowMotionTimer = 6;
    std::string ran;
    for (int32_t i = 0; i < 6; i++) {
        gRun.trailDue = 0;
        gRun.floorTime = 0;
        frame();
        EXPECT_EQ(gRun.floorTime, 1) << "the frame before the slow-motion step still counts";
        if (gRun.trailDue) ran += std::to_string(gRun.slowMotionTimer) + " ";
    }
    EXPECT_EQ(ran, "3 0 ");
}

TEST_F(FieldFrameTest, AConfirmPressedDuringAHitStopActsOnTheNextFrame) {
    // A defeat waiting at 118 for confirm, the first defeat event long seen.
    runningGameState().storyFlags[FLAG_FIRST_DEFEAT_SEEN] = 1;
    gChosenAdventurer = 2;
    gRun.runEndState = RUN_DEFEATED;
    gRun.runEndTimer = PROMPT_COUNT_CEILING;
    gRun.hitStopTimer = 2;
    frame(BUTTON_CONFIRM);
    frame();
    EXPECT_EQ(gRun.hitStopTimer, 0);
    EXPECT_EQ(gRun.runEndTimer, PROMPT_COUNT_CEILING) << "nothing acts during the hit-stop";
    EXPECT_EQ(runningGameState().adventurers[2].defeats, 0);
    frame();
    EXPECT_EQ(gRun.runEndTimer, 119);
    EXPECT_EQ(runningGameState().adventurers[2].defeats, 1);
    EXPECT_EQ(gRun.hitStopInput, 0);
}

TEST_F(FieldFrameTest, TheDefeatVoicePlaysAtSixtyAndTheCounterGoesUpOnce) {
    runningGameState().storyFlags[FLAG_FIRST_DEFEAT_SEEN] = 1;
    gChosenAdventurer = 4;
    gRun.runEndState = RUN_DEFEATED;
    for (int32_t i = 0; i < 60; i++) frame();
    EXPECT_EQ(gRun.runEndTimer, 60);
    EXPECT_EQ(voiceCount(DEFEAT_VOICES[4]), 0);
    EXPECT_EQ(gRun.playerControl, PLAYER_LOCKED);
    frame();
    EXPECT_EQ(voiceCount("bin/se/00sa/action/00sa_btl16.bin"), 1) << "adventurer 4 takes clip 16";
    for (int32_t i = 0; i < 100; i++) frame();
    EXPECT_EQ(gRun.runEndTimer, PROMPT_COUNT_CEILING) << "a defeat waits for confirm";
    frame(BUTTON_CONFIRM);
    EXPECT_EQ(gRun.runEndTimer, 119);
    for (int32_t i = 0; i < 10; i++) frame(BUTTON_CONFIRM);
    const AdventurerRecord& a = runningGameState().adventurers[4];
    EXPECT_EQ(a.defeats, 1);
    EXPECT_EQ(a.returns + a.clears, 0);
    EXPECT_EQ(voiceCount(DEFEAT_VOICES[4]), 1) << "one voice";
}

TEST_F(FieldFrameTest, AReturnLeavesAtOnceAndTheFirstDefeatRaisesItsEvent) {
    gChosenAdventurer = 1;
    gRun.runEndState = RUN_RETURNED;
    for (int32_t i = 0; i < 130; i++) frame();
    EXPECT_EQ(runningGameState().adventurers[1].returns, 1);
    for (const char* voice : DEFEAT_VOICES) EXPECT_EQ(voiceCount(voice), 0) << "no defeat voice";

    resetFieldFrameState();
    resetFloorStatus();
    gRun.runEndState = RUN_DEFEATED;
    runningGameState().playMode = PLAY_MODE_SURVIVAL;
    for (int32_t i = 0; i < 130; i++) frame();
    EXPECT_EQ(runningGameState().storyFlags[FLAG_FIRST_DEFEAT_SEEN], 1) << "set without an event in survival";
    EXPECT_EQ(runningGameState().adventurers[1].defeats, 0) << "still waiting for confirm";
}

struct SlotCase {
    int32_t dungeon, floor, course, battle, atReturn, slot;
};
const SlotCase SLOT_CASES[] = {
    {0, 4, -1, -1, 0, 0},          // a block's boss floor: row dungeon, column floor / 5
    {3, 49, -1, -1, 1, 69},
    {4, 99, -1, -1, 0, 99},
    {2, 7, -1, -1, 1, -1},         // no record between boss floors
    {5, 9, -1, -1, 0, 100},        // dungeon 5 by tens below floor 30
    {5, 29, -1, -1, 0, 102},
    {5, 14, -1, -1, 0, -1},
    {5, 30, -1, -1, 1, 103},       // from floor 30 only at a return gate
    {5, 44, -1, -1, 0, -1},
    {5, 30, 1, 0, 1, 23},          // Boss Rush course c: row c, column c's block count
    {5, 34, 2, 1, 1, 46},
    {5, 46, 3, 0, 1, 70},
    {5, 50, 4, 4, 1, 104},         // course 4 fills row 4: a slot of its own, not dungeon 5's first
    {5, 50, 4, 4, 0, -1},          // Boss Rush times only at a return gate
    {6, 4, -1, -1, 0, -1},
    {1, -1, -1, -1, 0, -1},
};

TEST(FieldFrameBestTimes, EveryRunPositionHasItsOwnSlot) {
    for (const SlotCase& c : SLOT_CASES)
        EXPECT_EQ(bestTimeSlot(c.dungeon, c.floor, c.course, c.battle, c.atReturn), c.slot)
            << "dungeon " << c.dungeon << " floor " << c.floor << " course " << c.course;
    // No two Boss Rush courses nor any block share a slot.
    bool used[DUNGEON_COUNT * BEST_TIME_SECTIONS] = {};
    for (int32_t d = 0; d < DUNGEON_COUNT; d++) {
        for (int32_t f = 0; f < getDungeonFloorCount(d); f++) {
            int32_t slot = bestTimeSlot(d, f, -1, -1, 1);
            if (slot < 0 || (d == 5 && f > 30)) continue;
            EXPECT_FALSE(used[slot]) << "dungeon " << d << " floor " << f;
            used[slot] = true;
        }
    }
    for (int32_t course = 1; course <= 4; course++) {
        int32_t slot = bestTimeSlot(5, 30, course, 0, 1);
        ASSERT_GE(slot, 0);
        EXPECT_FALSE(used[slot]) << "course " << course;
        used[slot] = true;
    }
}

TEST_F(FieldFrameTest, TheGatePromptKeepsTheShorterTime) {
    gRun.dungeonIndex = 2;
    gFloorIndex = 9;
    placeGate(0, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_IDLE, 0.0f, 0.0f);
    runningGameState().bestTimes[2][1] = 500;
    gRun.floorTime = 700;
    frame();
    EXPECT_EQ(runningGameState().bestTimes[2][1], 500);
    resetDialogState();
    gRun.gatePrompt = 0;
    gRun.gateGuard = 0;
    gRun.floorTime = 400;
    frame();
    EXPECT_EQ(runningGameState().bestTimes[2][1], 400);
}

TEST_F(FieldFrameTest, YesAtACircleChangesToTheNextFloorOnce) {
    gRun.bossRushCourse = 2;
    gRun.bossRushBattle = 1;
    gRun.dungeonIndex = 5;
    gFloorIndex = 34;
    placeGate(0, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_IDLE, 0.0f, 0.0f);
    gParty.velocity = Vector3{0.1f, 0.0f, 0.1f};
    for (int32_t i = 0; i < 60 && gRun.gatePrompt != GATE_PROMPT_LEAVING; i++) frame(BUTTON_CONFIRM);
    ASSERT_EQ(gRun.gatePrompt, GATE_PROMPT_LEAVING);
    EXPECT_EQ(gStageChange.pending, 1);
    EXPECT_EQ(gStageChange.entryFloor, 35);
    EXPECT_EQ(gFloorIndex, 34) << "the floor index is put back";
    EXPECT_EQ(gStageIndex, DUNGEON_STAGE);
    EXPECT_EQ(gRun.bossRushBattle, 2);
    EXPECT_EQ(gParty.velocity.x, 0.0f);
    EXPECT_EQ(gRun.playerControl, PLAYER_FREE);
}

TEST_F(FieldFrameTest, YesBeforeFloorNinetyNineWaitsAFrameForItsEvent) {
    gRun.dungeonIndex = 4;
    gFloorIndex = 98;
    placeGate(0, FLOOR_OBJECT_MAGIC_CIRCLE, FLOOR_OBJECT_IDLE, 0.0f, 0.0f);
    for (int32_t i = 0; i < 60 && gRun.gatePrompt < GATE_PROMPT_LEAVE_NEXT; i++) frame(BUTTON_CONFIRM);
    EXPECT_EQ(runningGameState().storyFlags[FLAG_FLOOR_99_EVENT], 1);
    EXPECT_EQ(gRun.gatePrompt, GATE_PROMPT_LEAVING) << "119 turns to 120 in the same frame";
    EXPECT_EQ(gStageChange.pending, 0) << "the stage change waits a frame";
    frame();
    EXPECT_EQ(gStageChange.pending, 1);
}

TEST_F(FieldFrameTest, YesAtAReturnGateEndsTheRunAsReturnedOrCleared) {
    struct Case { int32_t floor, state; const char* voice; };
    const Case cases[] = {{7, RUN_RETURNED, RETURNED_VOICE}, {14, RUN_CLEARED, CLEARED_VOICE}};
    for (const Case& c : cases) {
        resetFieldFrameState();
        resetFloorStatus();
        resetDialogState();
        headlessWindowReset();
        gRun.playerControl = PLAYER_FREE;
        gRun.dungeonIndex = 1;   // 15 floors
        gFloorIndex = c.floor;
        placeGate(0, FLOOR_OBJECT_RETURN_GATE, FLOOR_OBJECT_ACTIVE, 0.0f, 0.0f);
        for (int32_t i = 0; i < 60 && gRun.runEndState == RUN_GOES_ON; i++) frame(BUTTON_CONFIRM);
        EXPECT_EQ(gRun.runEndState, c.state) << "floor " << c.floor;
        EXPECT_EQ(gRun.gatePrompt, 0) << "floor " << c.floor;
        EXPECT_EQ(voiceCount(c.voice), 1) << "floor " << c.floor;
        // The run's end now locks the character, so the gate no longer arms.
        for (int32_t i = 0; i < 5; i++) frame();
        EXPECT_EQ(gRun.gatePrompt, 0) << "floor " << c.floor;
        EXPECT_EQ(gRun.playerControl, PLAYER_LOCKED) << "floor " << c.floor;
    }
}
