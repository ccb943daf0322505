// Field figures: turning the short way round, keyframe steps that never
// leave their block, the obstacle push, and member 0's step against walls,
// along a refused ledge and over a hole.
#include "adventurers/motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/motion_files.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "field/field.h"
#include "game/state_registry.h"
#include "platform/window.h"
#include "tests/adventurers/collision_room.h"

struct TurnCase { float angle, target, step, want; };
const TurnCase TURN_CASES[] = {
    {3.0f, -3.0f, 0.1f, 3.1f},     // through pi, not back through 0
    {-3.0f, 3.0f, 0.1f, -3.1f},
    {0.0f, 1.0f, 0.1f, 0.1f},
    {1.0f, 0.0f, 0.1f, 0.9f},
    {0.0f, 0.05f, 0.1f, 0.05f},    // within one step: the target
    {3.1f, -3.1f, 0.1f, -3.1f},    // the short way is within one step too
    {3.2f, 0.0f, 0.5f, -2.5831854f},   // 3.2 wraps to 3.2 - 2 pi first
};

TEST(Movement, TurnTowardStepsTheShortWayRound) {
    for (const TurnCase& c : TURN_CASES)
        EXPECT_NEAR(turnToward(c.angle, c.target, c.step), c.want, 1e-5f)
            << c.angle << " toward " << c.target << " by " << c.step;
    EXPECT_FLOAT_EQ(turnToward(3.0f, -3.0f, 0.1f), 3.0f + 0.1f);
}

class MovementMotion : public ::testing::Test {
protected:
    static constexpr int32_t MODEL = 60;
    void TearDown() override { memset(&gMotions[MODEL], 0, sizeof gMotions[MODEL]); }
    // Rows of {first int, duration} written into block 0 of MODEL.
    static void block(std::initializer_list<std::pair<int32_t, int32_t>> rows) {
        memset(&gMotions[MODEL], 0, sizeof gMotions[MODEL]);
        int32_t i = 0;
        for (const auto& [first, duration] : rows) {
            gMotions[MODEL].frames[0][i * MOTION_ROW_VALUES] = first;
            gMotions[MODEL].frames[0][i * MOTION_ROW_VALUES + 5] = duration;
            i++;
        }
    }
    // The keyframe index after each of n steps, as text.
    static std::string indexes(int32_t n) {
        MotionState s = {};
        s.requestedMotion = -1;
        setMotion(s, 0);
        std::string out;
        for (int32_t i = 0; i < n; i++) {
            advanceMotion(s, MODEL, 1.0f);
            out += std::to_string(s.keyIndex);
        }
        return out;
    }
};

TEST_F(MovementMotion, TheSameMotionKeepsItsTimeAndAnotherStartsOver) {
    block({{1, 2}, {2, 2}, {MOTION_LOOP, 0}});
    MotionState s = {};
    s.requestedMotion = -1;
    setMotion(s, 0);
    for (int32_t i = 0; i < 3; i++) advanceMotion(s, MODEL, 1.0f);
    MotionState before = s;
    setMotion(s, 0);
    EXPECT_EQ(s.keyIndex, before.keyIndex);
    EXPECT_EQ(s.ticks, before.ticks);
    EXPECT_EQ(s.keyTime, before.keyTime);
    setMotion(s, 2);
    EXPECT_EQ(s.motion, 2);
    EXPECT_EQ(s.requestedMotion, 2);
    EXPECT_EQ(s.keyIndex, 0);
    EXPECT_EQ(s.ticks, 0);
    EXPECT_EQ(s.keyTime, 0.0f);
}

TEST_F(MovementMotion, KeyframesHoldLoopAndNeverLeaveTheBlock) {
    block({{1, 2}, {2, 2}, {MOTION_HOLD, 0}});
    EXPECT_EQ(indexes(8), "00111111") << "a hold row freezes the last keyframe";
    block({{1, 1}, {2, 1}, {MOTION_LOOP, 0}});
    EXPECT_EQ(indexes(6), "010101") << "a loop row returns to keyframe 0";
    block({{MOTION_HOLD, 0}, {2, 1}});
    EXPECT_EQ(indexes(5), "00000") << "a hold at key 0 holds frame 0";
    memset(&gMotions[MODEL], 0, sizeof gMotions[MODEL]);
    for (int32_t row = 0; row < MOTION_BLOCK_ROWS; row++) gMotions[MODEL].frames[0][row * MOTION_ROW_VALUES + 5] = 0;
    std::string unclosed = indexes(60);
    EXPECT_EQ(unclosed.substr(unclosed.size() - 8), "41414141") << "an unclosed block holds its last row";

    block({{1, 1}, {2, 1}, {MOTION_LOOP, 0}});
    MotionState s = {};
    s.requestedMotion = -1;
    setMotion(s, 0);
    advanceMotion(s, MODEL, 1.0f);
    advanceMotion(s, MODEL, 1.0f);
    EXPECT_EQ(s.ticks, 2);
    advanceMotion(s, MODEL, 1.0f);
    EXPECT_EQ(s.ticks, 1) << "the loop resets the tick count";
    s.keyIndex = 9999;
    advanceMotion(s, MODEL, 1.0f);
    EXPECT_LT(s.keyIndex, MOTION_BLOCK_ROWS);
}

class MovementStep : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        memcpy(savedStages, gStages, sizeof savedStages);
        savedCount = gStageCount;
        gStages[5].stageCode = 5;
        gStages[5].maptype = 1;
        gStageCount = 6;
        gStageIndex = 5;
        gCurrentStage = &gStages[5];
        memset(&runningGameState(), 0, sizeof(GameState));
        resetPartyState();
        resetMotionState();
        resetFloorObjects();
        resetFloorMap();
        resetMapCollision();
        gParty.models[0] = 3;
        gParty.models[1] = -1;
        gParty.models[2] = -1;
    }
    void TearDown() override {
        resetMapCollision();
        memcpy(gStages, savedStages, sizeof savedStages);
        gStageCount = savedCount;
        gWindow = previousWindow;
    }
    // A floor at y 0 with a cliff wall at x = -5 and one at z = -5.
    static void buildRoom() {
        buildCollisionRoom({FLAT_FLOOR,
                            {{{-5, 0, -20}, {-5, 5, -20}, {-5, 5, 20}, {-5, 0, 20}}, "gake"},
                            {{{-20, 0, -5}, {-20, 5, -5}, {20, 5, -5}, {20, 0, -5}}, "gake"}});
    }
    static void walk(float vx, float vz, int32_t ticks) {
        for (int32_t i = 0; i < ticks; i++) {
            gParty.velocity = Vector3{vx, 0.0f, vz};
            moveAndCollide();
        }
    }

    const WindowBackend* previousWindow = nullptr;
    StageRecord savedStages[STAGE_CODE_COUNT];
    int32_t savedCount = 0;
    GameStateScope state;
};

TEST_F(MovementStep, WallsStopTheCharacterAtTheRayReachLongerAlongZ) {
    buildRoom();
    CollisionHit hit = {};
    ASSERT_EQ(findGroundUnder(0.0f, 0.0f, 0.0f, &hit), 1) << "the room's floor";
    walk(-0.2f, 0.0f, 60);
    EXPECT_NEAR(gParty.positions[0].x, -5.0f + 1.0f, 0.01f);
    EXPECT_FLOAT_EQ(gParty.positions[0].y, 0.0f);
    gParty.positions[0] = Vector3{0.0f, 0.0f, 0.0f};
    walk(0.0f, -0.2f, 60);
    EXPECT_NEAR(gParty.positions[0].z, -5.0f + 1.05f, 0.01f);
    EXPECT_NEAR(gParty.positions[0].x, 0.0f, 0.01f);
}

// A step onto a raised cliff ledge slides along the ledge's edge, in
// whichever map cell and turn the ledge's block lies: the block's own
// coordinates are (0, 1.9) for the start, the ledge from z = 2 on.
TEST_F(MovementStep, AStepOntoALedgeSlidesAlongItsEdgeInAnyCellAndTurn) {
    buildCollisionRoom({FLAT_FLOOR, {{{20, 0.3f, 2}, {20, 0.3f, 20}, {-20, 0.3f, 20}, {-20, 0.3f, 2}}, "gake"}});
    gFloorGrid.mapGrid[0][0].blockId = -1;
    // A block direction (x, z) in the world, for a cell of that many turns.
    auto toWorld = [](int32_t turns, float x, float z) {
        switch (turns) {
        case 1: return Vector3{-z, 0.0f, x};
        case 2: return Vector3{-x, 0.0f, -z};
        case 3: return Vector3{z, 0.0f, -x};
        default: return Vector3{x, 0.0f, z};
        }
    };
    const struct {
        int32_t col, row, turns;
    } CELLS[] = {{0, 0, 0}, {1, 0, 1}, {2, 1, 2}, {1, 2, 3}};
    for (const auto& c : CELLS) {
        gFloorGrid.mapGrid[c.row][c.col] = MapCell{0, c.turns, 0, 0};
        Vector3 centre = {-40.0f * (float)c.col, 0.0f, -40.0f * (float)c.row};
        Vector3 start = toWorld(c.turns, 0.0f, 1.9f);
        Vector3 along = toWorld(c.turns, sqrtf(0.08f), 0.0f);
        gParty.positions[0] = Vector3{centre.x + start.x, 0.0f, centre.z + start.z};
        gParty.groundHeights[0] = 0.0f;
        gParty.velocity = toWorld(c.turns, 0.2f, 0.2f);
        moveAndCollide();
        EXPECT_NEAR(gParty.positions[0].x, centre.x + start.x + along.x, 1e-4f) << "cell " << c.col << "," << c.row;
        EXPECT_NEAR(gParty.positions[0].z, centre.z + start.z + along.z, 1e-4f) << "cell " << c.col << "," << c.row;
        EXPECT_FLOAT_EQ(gParty.positions[0].y, 0.0f) << "still on the floor below the ledge";
        gFloorGrid.mapGrid[c.row][c.col].blockId = -1;
    }
}

TEST_F(MovementStep, AFallOverAHoleStopsAtMinusThirty) {
    gParty.positions[0] = Vector3{0.0f, 5.0f, 0.0f};
    for (int32_t i = 0; i < 40; i++) {
        gParty.velocity.y = -1.5f;
        moveAndCollide();
        EXPECT_GE(gParty.positions[0].y, -30.0f);
    }
    EXPECT_FLOAT_EQ(gParty.positions[0].y, -30.0f);
    EXPECT_FLOAT_EQ(gParty.groundHeights[0], -30.0f);
    EXPECT_FLOAT_EQ(gParty.shadowHeights[0], -30.0f) << "the shadow pass reads it as no ground";
    EXPECT_FLOAT_EQ(gParty.velocity.y, 0.0f);
}

struct PushCase {
    const char* what;
    Vector3 position, velocity;
    int32_t actionState;
    float radius, height;
    int32_t want;
    Vector3 wantVelocity;
};
const PushCase PUSH_CASES[] = {
    {"no radius", {0.5f, 0, 0}, {0, 0, 0}, 0, 0.0f, 2.0f, 0, {0, 0, 0}},
    {"no height", {0.5f, 0, 0}, {0, 0, 0}, 0, 1.0f, 0.0f, 0, {0, 0, 0}},
    {"negative radius", {0.5f, 0, 0}, {-0.1f, 0, 0}, 0, -1.0f, 2.0f, 0, {-0.1f, 0, 0}},
    {"above it", {0.5f, 2.5f, 0}, {0, 0, 0}, 0, 1.0f, 2.0f, 0, {0, 0, 0}},
    {"inside: half the overlap outward", {0.5f, 0, 0}, {0, 0, 0}, 0, 1.0f, 2.0f, 1, {0.25f, 0, 0}},
    {"moving away", {2.0f, 0, 0}, {0.5f, 0, 0}, 0, 1.0f, 2.0f, 0, {0.5f, 0, 0}},
    {"attacking: half the gap", {2.0f, 0, 0}, {-1.5f, 0, 0}, 2, 1.0f, 2.0f, 1, {-0.5f, 0, 0}},
};

TEST_F(MovementStep, AnObstacleYieldsOnlyWhenItHasABody) {
    for (const PushCase& c : PUSH_CASES) {
        gParty.positions[0] = c.position;
        gParty.velocity = c.velocity;
        gParty.actionState = c.actionState;
        EXPECT_EQ(pushOutOfObject(Vector3{0, 0, 0}, c.radius, c.height), c.want) << c.what;
        EXPECT_NEAR(gParty.velocity.x, c.wantVelocity.x, 1e-5f) << c.what;
        EXPECT_NEAR(gParty.velocity.z, c.wantVelocity.z, 1e-5f) << c.what;
    }
    // Walking into it: turned to run round it at half speed.
    gParty.positions[0] = Vector3{2.0f, 0.0f, 0.1f};
    gParty.velocity = Vector3{-1.5f, 0.0f, 0.0f};
    gParty.actionState = 0;
    EXPECT_EQ(pushOutOfObject(Vector3{0, 0, 0}, 1.0f, 2.0f), 1);
    Vector3 v = gParty.velocity;
    EXPECT_NEAR(sqrtf(v.x * v.x + v.z * v.z), 0.75f, 1e-4f);
    EXPECT_GT(fabsf(v.z), 0.1f) << "sideways";
}

TEST_F(MovementStep, TheFollowerTrailsToThreeUnitsAtMostPointThreeFiveATick) {
    gCamera.yaw = 0.0f;
    gParty.models[1] = 0;
    gParty.models[2] = 1;
    gParty.positions[1] = Vector3{10.0f, 0.0f, 0.0f};
    gParty.positions[2] = Vector3{0.0f, 3.0f, 8.0f};
    moveFollowers();
    EXPECT_FLOAT_EQ(gParty.positions[1].x, 10.0f - 0.35f);
    EXPECT_EQ(gParty.motions[1].motion, 1);
    EXPECT_EQ(gParty.motions[1].direction, 6) << "walking toward -x";
    float sx = gParty.positions[2].x, sz = gParty.positions[2].z - 8.0f;
    EXPECT_NEAR(sqrtf(sx * sx + sz * sz), 0.35f, 1e-5f) << "the fairy flies toward the follower";
    for (int32_t i = 0; i < 200; i++) moveFollowers();
    EXPECT_GT(gParty.positions[1].x, 3.0f);
    EXPECT_LT(gParty.positions[1].x, 3.01f);
    EXPECT_EQ(gParty.motions[1].motion, 0);
    float fx = gParty.positions[2].x - gParty.positions[1].x, fz = gParty.positions[2].z - gParty.positions[1].z;
    EXPECT_NEAR(sqrtf(fx * fx + fz * fz), 1.5f, 0.01f);
    EXPECT_EQ(gParty.motions[2].direction, gParty.motions[1].direction) << "on a dungeon floor";
    // Frozen, nobody moves.
    gParty.frozen = 1;
    gParty.positions[0].x = -20.0f;
    moveFollowers();
    EXPECT_LT(gParty.positions[1].x, 3.01f);
    EXPECT_GT(gParty.positions[1].x, 3.0f);
}

using EnemyPush = MovementStep;

// Walking into a slime stops at its body; a dash (actionTimer) passes through.
TEST_F(EnemyPush, TheCharacterStopsAtAnEnemysBodyUnlessItDashes) {
    buildCollisionRoom({FLAT_FLOOR});
    resetEnemyKinds();
    resetEnemyPool();
    Enemy* e = spawnEnemy(0.0f, 0.0f, 3.0f, 0);
    ASSERT_NE(e, nullptr);
    float body = gEnemyKinds[0].scale * gEnemyKinds[0].pushRadius;
    float nearest = 100.0f;
    for (int32_t i = 0; i < 60; i++) {
        gParty.velocity = Vector3{0.0f, 0.0f, 0.1f};
        moveAndCollide();
        const Vector3& p = gParty.positions[0];
        nearest = std::min(nearest, std::hypot(p.x - e->position.x, p.z - e->position.z));
    }
    EXPECT_GE(nearest, body - 0.01f);

    // Asleep, dying or sunk below -70, it has no body.
    for (int32_t c = 0; c < 3; c++) {
        gParty.positions[0] = Vector3{0.0f, 0.0f, 0.0f};
        e->state = c == 1 ? ENEMY_DYING : ENEMY_ALIVE;
        e->dormancy = c == 0 ? ENEMY_ASLEEP_WHILE_FAR : ENEMY_AWAKE;
        e->position.y = c == 2 ? -71.0f : 0.0f;
        walk(0.0f, 0.1f, 60);
        EXPECT_GT(gParty.positions[0].z, 3.0f + body) << "case " << c;
    }
    e->state = ENEMY_ALIVE;
    e->position.y = 0.0f;
    gParty.positions[0] = Vector3{0.0f, 0.0f, 0.0f};
    for (int32_t i = 0; i < 60; i++) {
        gParty.actionTimer = 1;
        gParty.velocity = Vector3{0.0f, 0.0f, 0.1f};
        moveAndCollide();
    }
    EXPECT_GT(gParty.positions[0].z, 3.0f + body);
    resetEnemyPool();
}
