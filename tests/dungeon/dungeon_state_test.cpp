// The dungeon's rows of the state registry: their resets give the words a
// fresh process has, and their snapshot spans hold a generated floor, so
// putting the bytes back gives the floor that was there before.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dungeon/dungeon.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "engine/state_table.h"

extern const StateTable DUNGEON_STATE;

namespace {

void resetRows() {
    for (int32_t i = 0; i < DUNGEON_STATE.count; ++i)
        if (DUNGEON_STATE.rows[i].reset) DUNGEON_STATE.rows[i].reset();
}

std::vector<uint8_t> takeSpans() {
    std::vector<uint8_t> bytes;
    for (int32_t i = 0; i < DUNGEON_STATE.count; ++i) {
        const StateRow& row = DUNGEON_STATE.rows[i];
        for (int32_t s = 0; s < row.spanCount; ++s) {
            const uint8_t* p = static_cast<const uint8_t*>(row.spans[s].bytes);
            bytes.insert(bytes.end(), p, p + row.spans[s].size);
        }
    }
    return bytes;
}

void putSpans(const std::vector<uint8_t>& bytes) {
    size_t at = 0;
    for (int32_t i = 0; i < DUNGEON_STATE.count; ++i) {
        const StateRow& row = DUNGEON_STATE.rows[i];
        for (int32_t s = 0; s < row.spanCount; ++s) {
            memcpy(row.spans[s].bytes, bytes.data() + at, row.spans[s].size);
            at += row.spans[s].size;
        }
    }
}

class DungeonState : public ::testing::Test {
protected:
    void SetUp() override {
        previousStage = gCurrentStage;
        stage.maptype = 1;
        gCurrentStage = &stage;
        memset(runningGameState().storyFlags, 0, sizeof runningGameState().storyFlags);
        resetRows();
    }
    void TearDown() override {
        gCurrentStage = previousStage;
        gFloorIndex = 0;
        resetRows();
    }
    StageRecord stage;
    StageRecord* previousStage = nullptr;
};

TEST_F(DungeonState, TheResetsGiveTheWordsOfAFreshProcess) {
    gRun.bossRushCourse = 2;
    gRun.bossRushBattle = 1;
    gRun.playerControl = PLAYER_LOCKED;
    gRun.bossCutFade = 0.25f;
    gRun.runEndState = RUN_DEFEATED;
    gFloorGrid.roomsX = 4;
    gFloorGrid.mapGrid[3][2].blockId = 7;
    gLayoutCells.floorCellSeen[1] = 1;
    gSwitchRegistry.objects[0] = 12;
    gSwitchRegistry.switchCutFrame = 9;
    gConditionBanner.nameSlide = 50;
    gFloorStart.floorTimeLimit = 300;
    gFloorScript.state = 3;
    resetRows();
    EXPECT_EQ(gRun.bossRushCourse, -1);
    EXPECT_EQ(gRun.bossRushBattle, -1);
    EXPECT_EQ(gRun.playerControl, PLAYER_FREE);
    EXPECT_EQ(gRun.bossCutFade, 1.0f);
    EXPECT_EQ(gRun.runEndState, RUN_GOES_ON);
    EXPECT_EQ(gFloorGrid.roomsX, 0);
    EXPECT_EQ(gFloorGrid.mapGrid[3][2].blockId, -1) << "an empty grid holds no block";
    EXPECT_EQ(gLayoutCells.floorCellSeen[1], 0);
    EXPECT_EQ(gSwitchRegistry.objects[0], -1) << "no switch registered";
    EXPECT_EQ(gSwitchRegistry.switchCutFrame, 0);
    EXPECT_EQ(gConditionBanner.nameSlide, 0);
    EXPECT_EQ(gFloorStart.floorTimeLimit, 0);
    EXPECT_EQ(gFloorScript.state, 0);
}

TEST_F(DungeonState, PuttingTheSpansBackGivesTheFloorBeforeAnother) {
    gRun.dungeonIndex = 2;
    gFloorIndex = 1;
    seedRandom(7);
    generateFloor();
    const std::vector<uint8_t> before = takeSpans();
    const FloorGrid grid = gFloorGrid;
    const FloorPlan plan = gFloorPlan;
    const LayoutCells cells = gLayoutCells;

    gFloorIndex = 3;
    seedRandom(8);
    generateFloor();
    ASSERT_NE(memcmp(&grid, &gFloorGrid, sizeof grid), 0) << "another seed lays out another floor";

    putSpans(before);
    EXPECT_EQ(memcmp(&grid, &gFloorGrid, sizeof grid), 0);
    EXPECT_EQ(memcmp(&plan, &gFloorPlan, sizeof plan), 0);
    EXPECT_EQ(memcmp(&cells, &gLayoutCells, sizeof cells), 0);
    EXPECT_EQ(gRun.dungeonIndex, 2);
}

}   // namespace
