// The floor start: its rules as tables (the time limit, when the floor time
// starts over, the skill slots by level, the bag at the end of a run), and
// whole floors started through the real stage change on the sample data:
// the party, the magic circle, the chests and the gates of ordinary floors,
// the trial floor and dungeon 5's way home, the banner of a run's first
// floor, the words a floor starts over and the party standing inside the
// shop after a departure; once with the loader thread running beside the
// ticks.
#include "dungeon/floor_start.h"

#include <gtest/gtest.h>

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/field_frame.h"
#include "dungeon/floor_generator.h"
#include "dungeon/floor_objects.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/shop.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/saved_game.h"

TEST(FloorStartRules, TheTimeLimitIsTheRouteTimesTheDungeonsFrames) {
    const struct {
        int32_t dungeon, rooms, want;
    } CASES[] = {{0, 7, 25200}, {1, 9, 21600}, {2, 20, 42000}, {3, 10, 18000}, {4, 33, 39600}, {5, 1, 900}};
    for (const auto& c : CASES)
        EXPECT_EQ(floorTimeLimit(c.dungeon, c.rooms), c.want) << "dungeon " << c.dungeon << " rooms " << c.rooms;
}

TEST(FloorStartRules, TheFloorTimeStartsOverOnEachBlocksFirstFloor) {
    const struct {
        int32_t dungeon, floor, course, battle;
        bool resets;
    } CASES[] = {
        {0, 0, -1, -1, true},   {0, 3, -1, -1, false},  {1, 5, -1, -1, true},  {4, 99, -1, -1, false},
        {5, 10, -1, -1, true},  {5, 15, -1, -1, false}, // dungeon 5 counts blocks of ten
        {5, 30, -1, -1, false}, {5, 40, -1, -1, false}, // never from floor 30
        {5, 33, 2, 0, true},    {5, 35, 2, 1, false},   // a Boss Rush only at its first battle
        {5, 46, 4, 12, false},
    };
    for (const auto& c : CASES)
        EXPECT_EQ(floorTimeResets(c.dungeon, c.floor, c.course, c.battle), c.resets)
            << "dungeon " << c.dungeon << " floor " << c.floor << " course " << c.course << " battle " << c.battle;
}

TEST(FloorStartRules, SkillSlotsOpenByLevel) {
    GameState& game = runningGameState();
    const struct {
        int32_t adventurer, level, open;
    } CASES[] = {{2, 9, 3}, {2, 8, 2}, {2, 29, 5}, {0, 8, 1}, {0, 9, 2}, {3, 24, 4}, {7, 98, 1}, {5, 28, 3}};
    for (const auto& c : CASES) {
        game.adventurers[c.adventurer].level = c.level;
        game.adventurers[c.adventurer].skillUnlocked[3] = 0;
        refreshSkillUnlocks();
        EXPECT_EQ(gSkillCounts[c.adventurer], c.open) << "adventurer " << c.adventurer << " level " << c.level;
        EXPECT_EQ(game.adventurers[c.adventurer].skillUnlocked[3], 1);
    }
    const int32_t DEDAR[SKILL_SLOTS] = {0, 2, 1, 3, 4};
    for (int32_t s = 0; s < SKILL_SLOTS; ++s) {
        EXPECT_EQ(gSkillSlots[6][s], DEDAR[s]);
        EXPECT_EQ(gSkillSlots[2][s], s);
    }
}

// The adventurer's own items leave the bag; the shop's equipment she wore
// comes back into it, and what finds no room there goes to storage.
TEST(FloorStartRules, TheBagIsSettledAndNothingIsLost) {
    GameState& game = runningGameState();
    for (int32_t& key : game.storage) key = ITEM_KEY_NONE;
    game.storageCount = 0;
    gChosenAdventurer = 3;
    gBagCapacity = 20;
    AdventurerRecord& a = game.adventurers[3];
    const int32_t WORN[EQUIPMENT_SLOTS] = {makeItemKey(11, 0, 0), makeItemKey(12, 0, 2),
                                          makeItemKey(13, ITEM_KEY_POSSESSED, 0), ITEM_KEY_NONE,
                                          makeItemKey(14, 0, 0)};
    for (int32_t s = 0; s < EQUIPMENT_SLOTS; ++s) {
        a.equipment[s] = WORN[s];
        a.savedEquipment[s] = makeItemKey(20 + s, ITEM_KEY_POSSESSED, 0);
    }
    // A full bag: the adventurer's own items in the first 20, shop items beyond.
    for (int32_t i = 0; i < BAG_SIZE; ++i) gBag[i] = makeItemKey(30 + i, i < 20 && i % 2 ? ITEM_KEY_POSSESSED : 0, 0);
    gBag[36] = ITEM_KEY_NONE;
    settleBagOnReturn();
    // The ten freed entries take the shop's pieces in order.
    EXPECT_EQ(gBag[1], WORN[0]);
    EXPECT_EQ(gBag[3], WORN[1]);
    EXPECT_EQ(gBag[5], WORN[4]);
    EXPECT_EQ(gBag[7], ITEM_KEY_NONE);
    EXPECT_EQ(gBag[2], makeItemKey(32, 0, 0));
    EXPECT_EQ(game.storageCount, 0);
    for (int32_t s = 0; s < EQUIPMENT_SLOTS; ++s) EXPECT_EQ(a.equipment[s], a.savedEquipment[s]);

    // No room at all: storage takes them.
    for (int32_t i = 0; i < BAG_SIZE; ++i) gBag[i] = makeItemKey(30 + i, 0, 0);
    for (int32_t s = 0; s < EQUIPMENT_SLOTS; ++s) a.equipment[s] = WORN[s];
    settleBagOnReturn();
    EXPECT_EQ(game.storageCount, 3);
    EXPECT_EQ(game.storage[0], WORN[0]);
    EXPECT_EQ(game.storage[1], WORN[1]);
    EXPECT_EQ(game.storage[2], WORN[4]);
    gChosenAdventurer = 0;
    gBagCapacity = BAG_SIZE;
    emptyBag();
}

namespace {

// A game on its first morning, continued from its save into the shop.
class FloorStartGame : public ::testing::Test {
protected:
    void boot(bool waitForLoaders = true) {
        HarnessOptions options;
        options.waitForLoaders = waitForLoaders;
        ASSERT_TRUE(harnessBootSavedGame(options));
        ASSERT_EQ(gGameMode, GAME_MODE_FIELD);
        ASSERT_FALSE(isSceneLoading());
    }
    void TearDown() override {
        harnessShutdown();
        gRun.dungeonIndex = 0;
        gRun.bossRushCourse = gRun.bossRushBattle = -1;
    }
    static int32_t stageWithKey(int32_t key) {
        for (int32_t s = 0; s < gStageCount; ++s)
            if (gStages[s].stageCode == key) return s;
        return -1;
    }
    // The stage change to the floor's stage; returns the ticks the load took.
    int32_t enterFloor(int32_t dungeon, int32_t floor, int32_t key) {
        gRun.dungeonIndex = dungeon;
        int32_t stage = stageWithKey(key);
        EXPECT_GE(stage, 0) << "a stage under key " << key;
        requestStageChange(stage, 0, 0, floor);
        harnessRunTicks(18);   // the fade-out, then the loader starts
        int32_t ticks = harnessRunTicksWhile(isSceneLoading);
        EXPECT_GE(ticks, 0) << "the floor loaded";
        EXPECT_EQ(gStageIndex, stage);
        EXPECT_EQ(gFloorIndex, floor);
        return ticks;
    }
    static int32_t countKind(int32_t kind) {
        int32_t n = 0;
        for (const FloorObject& o : gFloorObjects) n += o.kind == kind;
        return n;
    }
    static float flatDistance(const Vector3& a, const Vector3& b) {
        return sqrtf((a.x - b.x) * (a.x - b.x) + (a.z - b.z) * (a.z - b.z));
    }
    // Checks an ordinary dungeon floor as started and run for its first
    // tick, the one that took the loader's end (and its return gates unless
    // gates is -1).
    static void expectOrdinaryFloor(int32_t dungeon, int32_t gates = 0) {
        EXPECT_GT(gFloorPlan.roomCount, 6);
        EXPECT_EQ(gFloorStart.floorTimeLimit, gFloorPlan.roomCount * FLOOR_FRAMES_PER_CELL[dungeon] - 1);
        EXPECT_LE(flatDistance(gParty.positions[0], gFloorPlan.floorStartPos), 2.001f);
        EXPECT_FLOAT_EQ(gParty.positions[2].x, gFloorPlan.floorStartPos.x - 3.0f);
        EXPECT_FLOAT_EQ(gFloorStart.floorStartHeading, 3.14159265f);
        // The first floor's countdown holds the player.
        EXPECT_EQ(gRun.playerControl, gRun.floorIntroTimer > 0 ? PLAYER_LOCKED : PLAYER_FREE);
        // The circle on the exit cell (the torches of the blocks share its
        // kind), the chests on the chest cells in turn.
        int32_t circles = 0, chests = 0;
        for (const FloorObject& o : gFloorObjects) {
            if (o.kind == FLOOR_OBJECT_MAGIC_CIRCLE && o.size.x == 0.5f && o.size.y == 0.5f) {
                EXPECT_LE(flatDistance(o.home, cellCentre(gLayoutCells.cells[1])), 2.001f);
                ++circles;
            }
            if (o.kind != FLOOR_OBJECT_CHEST && o.kind != FLOOR_OBJECT_TRAP_CHEST) continue;
            ++chests;
            int32_t cell = -1;
            for (int32_t k = 0; k < gLayoutCells.count; ++k)
                if (flatDistance(o.home, cellCentre(gLayoutCells.cells[LAYOUT_CHEST_FIRST + k])) <= 2.001f) cell = k;
            ASSERT_GE(cell, 0) << "a chest off the chest cells";
            EXPECT_EQ(o.kind, cell % 2 ? FLOOR_OBJECT_TRAP_CHEST : FLOOR_OBJECT_CHEST) << "chest cell " << cell;
            EXPECT_LT(fabsf(o.position.y), 0.5f);
            EXPECT_FLOAT_EQ(o.yaw, 0.0f);
        }
        EXPECT_EQ(circles, 1);
        EXPECT_GE(chests, 1);
        EXPECT_LE(chests, gLayoutCells.count);
        if (gates >= 0) {
            EXPECT_EQ(countKind(FLOOR_OBJECT_RETURN_GATE), gates);
        }
    }
};

}  // namespace

TEST_F(FloorStartGame, ADungeonFloorGetsItsPartyCircleAndChests) {
    boot();
    const struct {
        int32_t dungeon, floor, key;
    } FLOORS[] = {{1, 2, 6}, {2, 7, 9}, {4, 41, 11}, {3, 33, 16}};
    for (const auto& f : FLOORS) {
        SCOPED_TRACE(testing::Message() << "dungeon " << f.dungeon << " floor " << f.floor);
        enterFloor(f.dungeon, f.floor, f.key);
        expectOrdinaryFloor(f.dungeon);
    }
}

// The shop is seen from across its counter; a dungeon floor entered from
// it is seen from behind again, and the pad turns with the camera.
TEST_F(FloorStartGame, TheShopCameraIsTurnedRoundAndADungeonsIsNot) {
    boot();
    EXPECT_FLOAT_EQ(gCamera.yaw, 3.14159265f);
    EXPECT_FLOAT_EQ(gParty.cameraYawTarget, 3.14159265f);
    enterFloor(1, 2, 6);
    EXPECT_FLOAT_EQ(gCamera.yaw, 0.0f);
    EXPECT_FLOAT_EQ(gParty.cameraYawTarget, 0.0f);
}

// The sample's blocks, turned as fitted, join into the route: from each
// cell's centre the way toward a linked neighbour is open, and a wall stands
// toward every other side.
TEST_F(FloorStartGame, TheFittedBlocksAreOpenExactlyTowardTheirLinks) {
    boot();
    const struct {
        int32_t dungeon, floor, key;
    } FLOORS[] = {{1, 3, 6}, {2, 12, 7}, {4, 60, 8}, {3, 2, 13}};
    for (const auto& f : FLOORS) {
        enterFloor(f.dungeon, f.floor, f.key);
        for (int32_t i = 0; i < storedRouteCount(); ++i) {
            GridCell c = gFloorPlan.routeCells[i];
            Vector3 centre = cellCentre(c);
            const struct {
                int32_t dc, dr;
            } SIDES[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& side : SIDES) {
                float along = 0.0f;
                CollisionHit hit = {};
                int32_t wall = castMapSegment(centre.x, 5.0f, centre.z, -19.0f * (float)side.dc, 0.0f,
                                              -19.0f * (float)side.dr, &along, &hit);
                EXPECT_EQ(wall, 1 - roomLinkAt(c.col + side.dc, c.row + side.dr))
                    << "dungeon " << f.dungeon << " floor " << f.floor << " cell " << c.col << "," << c.row << " block "
                    << gFloorGrid.mapGrid[c.row][c.col].blockId << " turn " << gFloorGrid.mapGrid[c.row][c.col].rotation
                    << " side " << side.dc << "," << side.dr;
            }
        }
    }
}

TEST_F(FloorStartGame, TheFirstFloorOfARunShowsTheBannerAndTheCountdown) {
    boot();
    gChosenAdventurer = 2;
    runningGameState().adventurers[2].level = 9;
    beginExpedition();
    EXPECT_EQ(gFloorStart.expeditionStart, 1);
    EXPECT_EQ(gSkillCounts[2], 3);
    gRun.floorTime = 5000;
    enterFloor(1, 5, 10);
    // The floor's first tick ran with the loader's end.
    EXPECT_EQ(gFloorStart.expeditionStart, 0);
    EXPECT_EQ(gRun.floorIntroTimer, FLOOR_INTRO_FRAMES - 1);
    EXPECT_EQ(gRun.floorTime, 1);   // the block's first floor starts over
    EXPECT_EQ(gParty.models[0], 28);
    EXPECT_EQ(gParty.models[1], 0);
    gRun.floorTime = 5000;
    enterFloor(1, 6, 10);
    EXPECT_EQ(gRun.floorIntroTimer, 0);
    EXPECT_EQ(gRun.floorTime, 5001);
}

// A floor left mid-way (a warp running, time-out enemies come, a comment
// due, the condition banner up, the mini-map marked, the fairy off
// wandering) starts the next floor with none of it; the shop entry starts a
// floor directly, as here.
TEST_F(FloorStartGame, TheLastFloorsTimersBannerAndMarksDoNotCarryOver) {
    boot();
    enterFloor(1, 2, 6);
    gDungeonControl.inputBlocked = 1;
    gDungeonControl.warpTimer = 50;
    gDungeonControl.heroineCommentDelay = 40;
    gDungeonControl.heroineCommentCooldown = 300;
    gTimeOut = TimeOutState{20, 3};
    gFloorConditionList.count = 2;
    gFloorConditionList.rollState = 2;
    gConditionBanner = ConditionBanner{45, 1, 120};
    for (int32_t& seen : gLayoutCells.floorCellSeen) seen = 1;
    gRun.lastHitTimer = 90;
    gFloorStatus.enemyKillCombo = 7;
    gFollower.fairyWander = FairyWander{2, 40, 3.0f, 1.0f};
    gWorldDraw.skillCountdown = 25;
    startFloor();
    finishFloorStart();
    EXPECT_EQ(gDungeonControl.inputBlocked, 0) << "the first tick clears the input";
    EXPECT_EQ(gDungeonControl.warpTimer, 0);
    EXPECT_EQ(gDungeonControl.heroineCommentDelay, 0);
    EXPECT_EQ(gDungeonControl.heroineCommentCooldown, 0);
    EXPECT_EQ(gTimeOut.timeOutStarted, 0);
    EXPECT_EQ(gTimeOut.timeOutSpawns, 0);
    EXPECT_EQ(gFloorConditionList.count, 0);
    EXPECT_EQ(gFloorConditionList.rollState, 0) << "the new floor rolls its own conditions";
    EXPECT_EQ(gConditionBanner.counter, 0);
    EXPECT_EQ(gConditionBanner.tickerDone, 0);
    EXPECT_EQ(gConditionBanner.nameSlide, 0);
    for (int32_t i = 0; i < LAYOUT_CELL_MAX; ++i) EXPECT_EQ(gLayoutCells.floorCellSeen[i], 0) << "mark " << i;
    EXPECT_EQ(gRun.lastHitTimer, 0);
    EXPECT_EQ(gFloorStatus.enemyKillCombo, 0);
    EXPECT_EQ(gFollower.fairyWander.phase, 0);
    EXPECT_EQ(gFollower.fairyWander.ticks, 0);
    EXPECT_EQ(gWorldDraw.skillCountdown, 0) << "no darkening left over";
}

// Back from a departure the party stands inside the shop: in the smallest
// shop facing left in motion 2, in the others facing the back in motion 1.
TEST_F(FloorStartGame, AfterADepartureThePartyStandsInsideInItsMotion) {
    boot();
    ASSERT_TRUE(isShopStage(gCurrentStage));
    const struct {
        int32_t shopSize, motion;
        float facing;
    } CASES[] = {{0, 2, -3.14159265f / 2.0f}, {1, 1, 0.0f}};
    for (const auto& c : CASES) {
        runningGameState().departedFlag = 1;
        runningGameState().shopSize = c.shopSize;
        startFloor();
        EXPECT_FLOAT_EQ(gParty.facing, c.facing) << "shop size " << c.shopSize;
        for (int32_t i = 0; i < PARTY_MEMBER_COUNT; ++i)
            EXPECT_EQ(gParty.motions[i].requestedMotion, c.motion) << "shop size " << c.shopSize << " member " << i;
    }
}

// A run begun the way the game begins one empties the gem queue, so a gem
// at the feet is taken once the countdown lets the player go; the gauge
// starts from the merchant's real experience.
TEST_F(FloorStartGame, AGemAtTheFeetIsCollectedOnARunsFirstFloor) {
    boot();
    GameState& game = runningGameState();
    game.merchantExp = 777;
    for (int32_t& slot : gParty.gemQueue) slot = 0;   // what a party record held before
    gChosenAdventurer = 0;
    beginExpedition();
    for (int32_t slot : gParty.gemQueue) EXPECT_EQ(slot, -1);
    EXPECT_FLOAT_EQ(gHud.expShown, 777.0f);
    enterFloor(0, 0, 5);
    // The first floor's scene and the equip prompt are answered.
    for (int32_t t = 0; t < 600 && (gRun.floorIntroTimer > 0 || gRun.playerControl != PLAYER_FREE); ++t)
        holdButtons((isDialogActive() || gEventReady != 0) && t % 2 == 0 ? BUTTON_CONFIRM : 0, 1);
    ASSERT_EQ(gRun.playerControl, PLAYER_FREE);
    int32_t before = game.adventurers[0].experience;
    Pickup& gem = gPickups[0];
    gem = Pickup{};
    gem.kind = 0;
    gem.age = 40;
    gem.state = PICKUP_SETTLED;
    gem.x = gParty.positions[0].x;
    gem.y = gParty.positions[0].y;
    gem.z = gParty.positions[0].z;
    gem.groundHeight = gem.y;
    harnessRunTicks(2);
    EXPECT_EQ(gem.kind, -1) << "the gem was taken";
    EXPECT_GT(game.adventurers[0].experience, before);
}

TEST_F(FloorStartGame, TheTrialFloorHasTheTutorialChestOrAReturnGate) {
    boot();
    GameState& game = runningGameState();
    game.storyFlags[FLAG_TRIAL_CLEARED] = 0;
    enterFloor(0, 4, 5);
    EXPECT_EQ(game.storyFlags[FLAG_TRIAL_CHEST], 1);
    ASSERT_EQ(countKind(FLOOR_OBJECT_CHEST), 1);
    EXPECT_EQ(countKind(FLOOR_OBJECT_RETURN_GATE), 0);
    for (const FloorObject& o : gFloorObjects)
        if (o.kind == FLOOR_OBJECT_CHEST) {
            EXPECT_FLOAT_EQ(o.home.z, gFloorPlan.floorStartPos.z + 10.0f);
        }

    game.storyFlags[FLAG_TRIAL_CLEARED] = 1;
    enterFloor(0, 4, 5);
    EXPECT_EQ(game.storyFlags[FLAG_TRIAL_CHEST], 0);
    EXPECT_EQ(countKind(FLOOR_OBJECT_CHEST), 0);
    EXPECT_EQ(countKind(FLOOR_OBJECT_RETURN_GATE), 1);
}

TEST_F(FloorStartGame, DungeonFivesNinthFloorAlsoOffersAWayHome) {
    boot();
    enterFloor(5, 9, 10);
    expectOrdinaryFloor(5, -1);
    const FloorObject* circle = nullptr;
    const FloorObject* gate = nullptr;
    for (const FloorObject& o : gFloorObjects) {
        if (o.kind == FLOOR_OBJECT_MAGIC_CIRCLE && o.size.x == 0.5f) circle = &o;
        if (o.kind == FLOOR_OBJECT_RETURN_GATE) gate = &o;
    }
    ASSERT_NE(circle, nullptr);
    // On the first side whose ground 6.0 out is level, 5.0 from the circle.
    int32_t levelSide = -1;
    for (int32_t k = 3; k >= 0; --k) {
        float a = (float)k * 2.0f * 3.14159265358979323846f / 4.0f;
        CollisionHit hit = {};
        float x = circle->position.x + 6.0f * sinf(a), z = circle->position.z + 6.0f * cosf(a);
        if (findGroundUnder(x, circle->position.y + 0.5f, z, &hit) && fabsf(hit.floorHeight) < 0.5f) levelSide = k;
    }
    ASSERT_EQ(gate != nullptr, levelSide >= 0);
    if (gate) {
        float a = (float)levelSide * 2.0f * 3.14159265358979323846f / 4.0f;
        EXPECT_NEAR(gate->home.x, circle->position.x + 5.0f * sinf(a), 1e-3f);
        EXPECT_NEAR(gate->home.z, circle->position.z + 5.0f * cosf(a), 1e-3f);
        EXPECT_FLOAT_EQ(gate->size.x, 0.35f);
    }
}

// The floor starts on the loader thread while the ticks go on unjoined:
// they only step the screen effects, and the floor is whole when the load
// ends. Under ThreadSanitizer every access of both sides is checked, however
// the thread's timing falls.
TEST_F(FloorStartGame, OnTheLoaderThreadBesideTheTicks) {
    boot(false);
    for (int32_t floor : {1, 2, 3}) {
        enterFloor(1, floor, 6);
        expectOrdinaryFloor(1);
    }
}
