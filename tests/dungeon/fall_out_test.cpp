// Falling out of a floor: what counts as a fall (below the death height, or
// into water where the stage says so), what it costs, the 60 stunned frames
// and then the return to the floor's start or the defeat.
#include <gtest/gtest.h>

#include <cstring>

#include "adventurers/adventurers_state.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "dungeon/floor_generator.h"
#include "dungeon/floor_start.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "field/field_state.h"
#include "game/state_registry.h"

namespace {

constexpr int32_t FLOOR_STAGE = 5;
constexpr int32_t ADVENTURER = 2;
const Vector3 START = {-40.0f, 0.5f, -60.0f};
constexpr float START_HEADING = 1.25f;

}  // namespace

class FallOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        memcpy(savedStages, gStages, sizeof savedStages);
        savedStageCount = gStageCount;
        clearState();
    }
    void TearDown() override {
        memcpy(gStages, savedStages, sizeof savedStages);
        gStageCount = savedStageCount;
    }
    // A floor of dungeon 1 (death height -70) with the adventurer at 150 of
    // 200 HP, nothing fallen yet.
    static void clearState() {
        gStages[FLOOR_STAGE] = StageRecord{};
        gStages[FLOOR_STAGE].stageCode = FLOOR_STAGE;
        gStages[FLOOR_STAGE].maptype = 1;
        gStages[FLOOR_STAGE].deathheight = -70;
        gStageCount = FLOOR_STAGE + 1;
        gStageIndex = FLOOR_STAGE;
        memset(&runningGameState(), 0, sizeof(GameState));
        AdventurerRecord& a = runningGameState().adventurers[ADVENTURER];
        a.hpBase = 180;
        a.hpBonus = 20;
        resetFieldFrameState();
        resetFieldEventState();
        resetPartyState();
        gChosenAdventurer = ADVENTURER;
        gRun.dungeonIndex = 1;
        gFloorPlan.floorStartPos = START;
        gFloorStart.floorStartHeading = START_HEADING;
        gParty.hp = 150.0f;
        gFieldCamera.cameraReset = 0;
    }
    static void standAt(float y) { gParty.positions[0] = Vector3{3.0f, y, 4.0f}; }
    static void frames(int32_t n) {
        for (int32_t i = 0; i < n; i++) checkFallOut();
    }

    StageRecord savedStages[STAGE_CODE_COUNT];
    int32_t savedStageCount = 0;
    GameStateScope state;
};

namespace {

struct DamageCase {
    int32_t maxHp;
    bool doubled;
    int32_t want;
};
const DamageCase DAMAGE_CASES[] = {
    {200, false, 20}, {209, false, 20}, {9, false, 0}, {30, false, 3}, {70, false, 7},
    {200, true, 40},  {123, true, 24},  {4, true, 0},  {0, false, 0},
};

}  // namespace

TEST(FallOut, DamageIsATenthOfTheMaximumTruncated) {
    for (const DamageCase& c : DAMAGE_CASES)
        EXPECT_EQ(fallDamage(c.maxHp, c.doubled), c.want) << "max HP " << c.maxHp << " doubled " << c.doubled;
}

TEST_F(FallOutTest, AFallStunsForSixtyFramesThenReturnsToTheFloorsStart) {
    standAt(-70.5f);   // above the death height less one: no fall
    frames(5);
    EXPECT_EQ(gFieldEvents.fallTimer, 0);
    EXPECT_EQ(gParty.hp, 150.0f);

    standAt(-71.5f);
    gParty.facing = 0.0f;
    frames(1);
    EXPECT_EQ(gParty.hp, 130.0f);   // a tenth of 180 + 20
    EXPECT_EQ(gFieldEvents.fallTimer, FALL_FRAMES - 1);
    frames(FALL_FRAMES - 2);
    EXPECT_EQ(gFieldEvents.fallTimer, 1);
    EXPECT_EQ(gParty.actionState, 1);
    EXPECT_EQ(gParty.stunTimer, 30);
    EXPECT_EQ(gParty.motions[0].motion, 2);
    EXPECT_EQ(gParty.hp, 130.0f) << "one fall costs once";
    EXPECT_EQ(gParty.positions[0].y, -71.5f);

    frames(1);   // the sixtieth frame
    EXPECT_EQ(gFieldEvents.fallTimer, 0);
    EXPECT_EQ(gParty.positions[0].x, START.x);
    EXPECT_EQ(gParty.positions[0].y, START.y);
    EXPECT_EQ(gParty.positions[0].z, START.z);
    EXPECT_EQ(gParty.facing, START_HEADING);
    EXPECT_EQ(gParty.actionState, 0);
    EXPECT_EQ(gParty.stunTimer, 0);
    EXPECT_EQ(gFieldCamera.cameraReset, 1);
    EXPECT_EQ(gRun.runEndState, RUN_GOES_ON);
}

TEST_F(FallOutTest, AFallThatTakesTheLastHpIsADefeatAfterSixtyFrames) {
    gParty.hp = 12.0f;
    standAt(-200.0f);
    frames(FALL_FRAMES - 1);
    EXPECT_EQ(gParty.hp, 0.0f) << "HP stops at 0";
    EXPECT_EQ(gRun.runEndState, RUN_GOES_ON);
    frames(1);
    EXPECT_EQ(gRun.runEndState, RUN_DEFEATED);
    EXPECT_EQ(gParty.actionState, 1);
    EXPECT_EQ(gParty.stunTimer, 30);
    EXPECT_EQ(gParty.positions[0].y, -200.0f) << "not put back";
    frames(200);   // the run has ended: no new fall
    EXPECT_EQ(gFieldEvents.fallTimer, 0);
}

TEST_F(FallOutTest, AFallThatEndsAfterAReturnKeepsTheReturn) {
    gParty.hp = 5.0f;
    standAt(-200.0f);
    frames(10);
    gRun.runEndState = RUN_RETURNED;
    frames(FALL_FRAMES - 10);
    EXPECT_EQ(gRun.runEndState, RUN_RETURNED);
    EXPECT_EQ(gParty.hp, 0.0f);
}

namespace {

struct CostCase {
    const char* name;
    int32_t dungeon;
    int32_t bossRushBattle;
    int32_t runEndTimer;
    int32_t gatePrompt;
    int32_t invincibility;
    float hpAfter;
};
const CostCase COST_CASES[] = {
    {"a dungeon floor", 1, -1, 0, 0, 0, 130.0f},
    {"dungeon 5 costs a fifth", 5, -1, 0, 0, 0, 110.0f},
    {"a Boss Rush on dungeon 5 a tenth", 5, 2, 0, 0, 0, 130.0f},
    {"while the run ends", 1, -1, 30, 0, 0, 150.0f},
    {"while a gate prompt is up", 1, -1, 0, 5, 0, 150.0f},
    {"while invincible", 1, -1, 0, 0, 12, 150.0f},
};

}  // namespace

TEST_F(FallOutTest, TheCostDependsOnTheDungeonAndIsSparedInSomeStates) {
    for (const CostCase& c : COST_CASES) {
        clearState();
        gRun.dungeonIndex = c.dungeon;
        gRun.bossRushBattle = c.bossRushBattle;
        gRun.runEndTimer = c.runEndTimer;
        gRun.gatePrompt = c.gatePrompt;
        gParty.invincibility = c.invincibility;
        standAt(-80.0f);
        frames(1);
        EXPECT_EQ(gParty.hp, c.hpAfter) << c.name;
        EXPECT_EQ(gFieldEvents.fallTimer, FALL_FRAMES - 1) << c.name;
    }
}

TEST_F(FallOutTest, WhereTheDeathHeightSaysWaterTheWaterIsTheFall) {
    gStages[FLOOR_STAGE].deathheight = DEATH_HEIGHT_WATER;
    standAt(-1000.5f);   // dry ground that deep is still ground
    frames(1);
    EXPECT_EQ(gFieldEvents.fallTimer, 0);
    standAt(-1001.5f);
    frames(1);
    EXPECT_EQ(gFieldEvents.fallTimer, FALL_FRAMES - 1);

    clearState();
    gStages[FLOOR_STAGE].deathheight = DEATH_HEIGHT_WATER;
    standAt(0.0f);
    gParty.ground[0].floorFlag = 1;
    frames(1);
    EXPECT_EQ(gFieldEvents.fallTimer, FALL_FRAMES - 1) << "stepping into water";

    clearState();
    standAt(0.0f);
    gParty.ground[0].floorFlag = 1;
    frames(1);
    EXPECT_EQ(gFieldEvents.fallTimer, 0) << "water on a stage with a death height is only water";
    gParty.ground[0].floorFlag = 2;   // snow
    gStages[FLOOR_STAGE].deathheight = DEATH_HEIGHT_WATER;
    frames(1);
    EXPECT_EQ(gFieldEvents.fallTimer, 0);
}

TEST_F(FallOutTest, NoNewFallOnceTheRunHasEnded) {
    gRun.runEndState = RUN_CLEARED;
    standAt(-100.0f);
    frames(3);
    EXPECT_EQ(gFieldEvents.fallTimer, 0);
    EXPECT_EQ(gParty.hp, 150.0f);
}
