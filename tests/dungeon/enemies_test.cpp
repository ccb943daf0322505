// The enemy pool: levels and spawn HP, taking and reusing records, the
// frame's respawn and sleep rules, damage and kill rewards, the drop roll,
// the dying sequences' lengths and the 3D kinds' motion ranges.
#include "dungeon/enemies.h"

#include <gtest/gtest.h>

#include <cmath>

#include "adventurers/adventurers_state.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/stage_index.h"
#include "game/state_registry.h"
#include "tests/adventurers/collision_room.h"

namespace {

class EnemyFixture : public ::testing::Test {
protected:
    GameStateScope scope;
    void SetUp() override {
        resetGameState();
        resetEnemyKinds();
        seedRandom(1234);
        gRun.dungeonIndex = 0;
        gFloorIndex = 1;   // not a boss floor
        gSEasyDisp = 0;
        gChosenAdventurer = 0;
        runningGameState().adventurers[0] = AdventurerRecord{};
        runningGameState().adventurers[0].nextLevelExp = 1000000;
        playerAt(100.0f, 0.0f, 100.0f);
    }
    void TearDown() override {
        gSEasyDisp = 0;
        gFloorIndex = 0;
        resetEnemyKinds();
    }
    static void playerAt(float x, float y, float z) { gParty.positions[0] = Vector3{x, y, z}; }
    static int32_t countPickups(bool items) {
        int32_t n = 0;
        for (const Pickup& p : gPickups)
            if (p.kind >= 0 && (p.kind >= PICKUP_ITEM_FIRST) == items) n++;
        return n;
    }
    static int32_t experience() { return runningGameState().adventurers[0].experience; }
    // Frames of updateEnemies until the record is no longer dying.
    static int32_t framesUntilNotDying(const Enemy& e, int32_t limit = 2000) {
        int32_t n = 0;
        while (e.state == ENEMY_DYING && n < limit) {
            updateEnemies();
            n++;
        }
        return n;
    }
};

using EnemyLevels = EnemyFixture;
using EnemyPool = EnemyFixture;
using EnemyUpdate = EnemyFixture;
using EnemyDamage = EnemyFixture;
using EnemyKill = EnemyFixture;
using EnemyDying = EnemyFixture;
using EnemyMotion = EnemyFixture;

struct LevelCase {
    int32_t dungeon, floor, course, kind, spawns, level;
};
const LevelCase LEVEL_CASES[] = {
    {0, 0, -1, 0, 0, 0},   {1, 14, -1, 0, 0, 9},  {2, 29, -1, 0, 0, 15}, {3, 49, -1, 0, 0, 28},
    {4, 99, -1, 0, 0, 44}, {5, 29, -1, 0, 0, 99}, {5, 30, -1, 0, 0, 50}, {5, 31, -1, 0, 0, 51},
    {6, 3, -1, 0, 0, 0},                                       // no such dungeon
    {0, 20, -1, KIND_WISP, 100, 40},                            // min(40, max(40, 30))
    {0, 20, -1, KIND_WISP, 7, 21},                              // seven time-outs: one level more
    {0, 5, -1, KIND_WISP, 100, 15},                             // capped at L + 10
    {0, 30, 2, 0, 0, 7},                                        // Boss Rush course 2: floor 5 x 30 - 145 = 5 of dungeon 2
    {0, 30, 0, 0, 0, 0},                                        // course 0
};

TEST_F(EnemyLevels, LevelsFollowDungeonFloorAndCourse) {
    for (const LevelCase& c : LEVEL_CASES) {
        gRun.dungeonIndex = c.dungeon;
        gFloorIndex = c.floor;
        gRun.bossRushCourse = c.course;
        gTimeOut.timeOutSpawns = c.spawns;
        EXPECT_EQ(getFloorEnemyLevel(c.kind), c.level)
            << "dungeon " << c.dungeon << " floor " << c.floor << " course " << c.course << " kind " << c.kind;
    }
    gRun.bossRushCourse = -1;
    gRun.dungeonIndex = 5;
    gFloorIndex = 30;
    EXPECT_FLOAT_EQ(getEnemyLevelScale(0), 1.0f + 50 * 0.12f);
    gRun.dungeonIndex = 1;
    gFloorIndex = 14;
    EXPECT_FLOAT_EQ(getEnemyLevelScale(0), 1.0f + 9 * 0.1f);
}

TEST_F(EnemyLevels, SpawnHpGrowsWithLevelAndFallsUnderTheWeakFlag) {
    gRun.dungeonIndex = 1;
    gFloorIndex = 14;   // level 9
    Enemy* e = spawnEnemy(1.0f, 2.0f, 3.0f, 0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->level, 9);
    EXPECT_FLOAT_EQ(e->maxHp, 15.0f * (1.0f + 0.2f * 9.0f));
    EXPECT_EQ(e->hp, e->maxHp);
    EXPECT_EQ(e->shownHp, e->maxHp);
    EXPECT_EQ(e->state, ENEMY_ALIVE);
    EXPECT_FLOAT_EQ(e->yaw, PI);
    EXPECT_EQ(e->home.z, 3.0f);
    EXPECT_EQ(e->alpha, 255);
    EXPECT_EQ(e->parent, -1);
    EXPECT_EQ(e->index, 0);
    EXPECT_EQ(e->hitSerials[9], -1);
    runningGameState().storyFlags[15] = 1;
    Enemy* weak = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(weak, nullptr);
    EXPECT_FLOAT_EQ(weak->maxHp, 15.0f * 2.8f * 0.1f);
    EXPECT_EQ(gEnemySpawnState.spawnCount, 2);
}

TEST_F(EnemyPool, PoolReusesAFreedRecordAfterTwentyScansAndDropsOverflow) {
    int32_t spawned = 0;
    for (int32_t i = 0; i < 140; i++) spawned += spawnEnemy(0.0f, 0.0f, 0.0f, 0) != nullptr;
    EXPECT_EQ(spawned, ENEMY_POOL_SIZE);

    // Record 5 dies and is freed; the pool stays full otherwise.
    Enemy& e = gEnemies[5];
    killEnemy(e);
    updateDyingEnemy(e);
    updateDyingEnemy(e);
    ASSERT_EQ(e.state, ENEMY_FREE);
    e.respawnTimer = 0;   // not held for a respawn
    EXPECT_EQ(e.reuseTimer, 20);
    for (int32_t scan = 1; scan < 20; scan++) EXPECT_EQ(allocEnemy(), nullptr) << "scan " << scan;
    EXPECT_EQ(allocEnemy(), &e);

    // A floor's reset frees everything at once.
    resetEnemies();
    EXPECT_EQ(allocEnemy(), &gEnemies[0]);
}

TEST_F(EnemyUpdate, RespawnCountsOnlyBeyondFortyUnits) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    killEnemy(*e);
    updateDyingEnemy(*e);
    updateDyingEnemy(*e);
    ASSERT_EQ(e->state, ENEMY_FREE);
    e->respawnTimer = 1;   // the death's one-in-three roll held it
    playerAt(40.0f, 0.0f, 0.0f);
    updateEnemies();
    EXPECT_EQ(e->respawnTimer, 1);
    EXPECT_EQ(e->state, ENEMY_FREE);
    playerAt(40.01f, 0.0f, 0.0f);
    updateEnemies();
    EXPECT_EQ(e->respawnTimer, 0);
    EXPECT_EQ(e->state, ENEMY_ALIVE);
    EXPECT_EQ(e->hp, e->maxHp);
    EXPECT_EQ(e->firstThink, 1);
}

TEST_F(EnemyUpdate, DormancyWakesAtTwelveAndTwentyFour) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    struct Step {
        float distance;
        int32_t before, after;
    };
    const Step STEPS[] = {
        {12.0f, ENEMY_ASLEEP_UNTIL_NEAR, ENEMY_ASLEEP_UNTIL_NEAR}, {11.9f, ENEMY_ASLEEP_UNTIL_NEAR, ENEMY_AWAKE},
        {24.0f, ENEMY_AWAKE, ENEMY_AWAKE},                         {24.1f, ENEMY_AWAKE, ENEMY_ASLEEP_WHILE_FAR},
        {30.0f, ENEMY_ASLEEP_WHILE_FAR, ENEMY_ASLEEP_WHILE_FAR},   {24.0f, ENEMY_ASLEEP_WHILE_FAR, ENEMY_AWAKE},
    };
    for (const Step& s : STEPS) {
        e->position = Vector3{0.0f, 0.0f, 0.0f};
        e->dormancy = s.before;
        playerAt(s.distance, 0.0f, 0.0f);
        updateEnemies();
        EXPECT_EQ(e->dormancy, s.after) << "distance " << s.distance << " from " << s.before;
    }
    // The wisp never sleeps.
    e->kind = KIND_WISP;
    e->dormancy = ENEMY_ASLEEP_WHILE_FAR;
    playerAt(100.0f, 0.0f, 0.0f);
    updateEnemies();
    EXPECT_EQ(e->dormancy, ENEMY_AWAKE);
}

TEST_F(EnemyDamage, DamageShowsPopupsAndSpraysAQuarterOfWhatItAbsorbed) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    e->hp = e->maxHp = 30.0f;
    e->kind = 26;   // no experience of its own: only the hit's pickups count
    gEnemyKinds[26].baseExp = 0;
    damageEnemy(*e, 200, 1 | 4);
    EXPECT_EQ(countPickups(false), 7);   // 30 / 4
    EXPECT_EQ(e->state, ENEMY_DYING);
    EXPECT_EQ(e->hitFlash, 30);
    // The number, then labels 10 and 12 stacked 0 and 1.
    EXPECT_EQ(gNumberPopups[0].value, 200);
    EXPECT_EQ(gNumberPopups[0].type, 0);
    EXPECT_EQ(gNumberPopups[1].type, 10);
    EXPECT_EQ(gNumberPopups[1].value, 0);
    EXPECT_EQ(gNumberPopups[2].type, 12);
    EXPECT_EQ(gNumberPopups[2].value, 1);

    // A hit of 0 shows 0 and no label.
    resetPickups();
    resetFloorStatus();
    Enemy* f = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(f, nullptr);
    damageEnemy(*f, 0, 1);
    EXPECT_EQ(gNumberPopups[0].value, 0);
    EXPECT_EQ(gNumberPopups[1].timer, 0);
    EXPECT_EQ(countPickups(false), 0);

    // A strong adventurer gets half from weak enemies; never more than 25.
    runningGameState().adventurers[0].level = 30;
    f->level = 10;
    f->hp = f->maxHp = 1000.0f;
    damageEnemy(*f, 200, 2);
    EXPECT_EQ(countPickups(false), 12);   // 50, capped at 25, then halved
    resetPickups();
    f->hp = 1000.0f;
    damageEnemy(*f, 40, 2);
    EXPECT_EQ(countPickups(false), 5);   // 10 halved
}

TEST_F(EnemyDamage, KillDelayHoldsAZeroHpUntilItRunsOut) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    playerAt(5.0f, 0.0f, 0.0f);   // near enough to stay awake
    e->hp = 1.5f;
    e->killDelay = 2;
    damageEnemy(*e, 1, 0);
    EXPECT_EQ(e->hp, 0.0f);
    EXPECT_EQ(e->state, ENEMY_ALIVE);
    updateEnemies();   // the delay falls to 1
    EXPECT_EQ(e->state, ENEMY_ALIVE);
    updateEnemies();   // to 0: killed this frame
    EXPECT_EQ(e->state, ENEMY_DYING);

    Enemy* f = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(f, nullptr);
    f->hp = 1.5f;
    damageEnemy(*f, 1, 0);   // 0.5 left: dead at once
    EXPECT_EQ(f->state, ENEMY_DYING);
}

TEST_F(EnemyKill, KillGivesExperienceWithTheCombo) {
    gSEasyDisp = 1;   // the pickups go straight to the experience, 10 each
    gRun.dungeonIndex = 1;
    gFloorIndex = 14;   // level 9
    gEnemyKinds[16].baseExp = 5;
    int32_t want[3];
    for (int32_t combo = 0; combo < 3; combo++)
        want[combo] = static_cast<int32_t>(static_cast<float>(5 + 9 / 2) * 0.8f + static_cast<float>(combo));
    for (int32_t k = 0; k < 3; k++) {
        Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 16);
        ASSERT_NE(e, nullptr);
        int32_t before = experience();
        killEnemy(*e);
        EXPECT_EQ(experience() - before, 10 * want[k]) << "kill " << k;
        EXPECT_EQ(gFloorStatus.enemyKillCombo, k);
    }
    // A summoned one gives 1 and keeps the combo; another kind resets it.
    Enemy* s = spawnEnemy(0.0f, 0.0f, 0.0f, 16);
    s->summoned = 1;
    int32_t before = experience();
    killEnemy(*s);
    EXPECT_EQ(experience() - before, 10);
    EXPECT_EQ(gFloorStatus.enemyKillCombo, 2);
    Enemy* t = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    t->trapSpawned = 2;
    before = experience();
    killEnemy(*t);
    EXPECT_EQ(experience() - before, 0);
    EXPECT_EQ(gFloorStatus.enemyKillCombo, 0);
    // Enough experience levels up once.
    AdventurerRecord& a = runningGameState().adventurers[0];
    a.nextLevelExp = a.experience + 5;
    int32_t level = a.level;
    killEnemy(*spawnEnemy(0.0f, 0.0f, 0.0f, 16));
    EXPECT_EQ(a.level, level + 1);
}

TEST_F(EnemyKill, BossesSkipTheRandomDropClasses) {
    for (int32_t cls = 0; cls < 2; cls++) {
        gDropOdds = DropOdds{};
        gDropOdds.odds[cls] = 1.0f;   // every roll lands in this class
        resetPickups();
        Enemy* boss = spawnEnemy(0.0f, 0.0f, 0.0f, KIND_KING_SLIME);
        killEnemy(*boss);
        EXPECT_EQ(countPickups(true), 0) << "class " << cls;
        Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
        killEnemy(*e);
        ASSERT_EQ(countPickups(true), 1) << "class " << cls;
        int32_t id = -1;
        for (const Pickup& p : gPickups)
            if (p.kind >= PICKUP_ITEM_FIRST) id = p.kind - PICKUP_ITEM_FIRST;
        int32_t last = cls == 0 ? 7 : 19;   // floor 1 of dungeon 0: v = 0 + 4 or 0 + 7, but at most these
        bool listed = false;
        for (int32_t i = 0; i <= last; i++) listed = listed || RANDOM_DROP_IDS[i] == id;
        EXPECT_TRUE(listed) << "class " << cls << " item " << id;
    }
    // The kind's own drop still rolls for a boss.
    gFloorSpawnTable[0][0].floorFrom = 0;
    gFloorSpawnTable[0][0].floorTo = 9;
    gFloorSpawnTable[0][0].entries[0] = SpawnEntry{KIND_KING_SLIME, 0, 1};
    gFloorSpawnTable[0][0].entries[1].kind = -1;
    gFloorSpawnTable[0][0].drops[0][0] = 4001;
    gDropOdds = DropOdds{};
    gDropOdds.odds[2] = 1.0f;
    resetPickups();
    killEnemy(*spawnEnemy(0.0f, 0.0f, 0.0f, KIND_KING_SLIME));
    EXPECT_EQ(countPickups(true), 1);
    parseFloorEnemyLists("", 0);
}

TEST_F(EnemyKill, KingSlimeInDungeonOneDropsOnItsSecondKill) {
    gRun.dungeonIndex = 1;
    for (int32_t flag = 240; flag <= 243; flag++) runningGameState().storyFlags[flag] = 0;
    gFloorSpawnTable[1][0].floorFrom = 0;
    gFloorSpawnTable[1][0].floorTo = 9;
    gFloorSpawnTable[1][0].entries[0] = SpawnEntry{KIND_KING_SLIME, 0, 1};
    gFloorSpawnTable[1][0].entries[1].kind = -1;
    gFloorSpawnTable[1][0].drops[0][0] = 4001;
    gDropOdds = DropOdds{};   // no class would ever drop
    killEnemy(*spawnEnemy(0.0f, 0.0f, 0.0f, KIND_KING_SLIME));
    EXPECT_EQ(countPickups(true), 0);
    killEnemy(*spawnEnemy(0.0f, 0.0f, 0.0f, KIND_KING_SLIME));
    EXPECT_EQ(countPickups(true), 1);
    killEnemy(*spawnEnemy(0.0f, 0.0f, 0.0f, KIND_KING_SLIME));
    EXPECT_EQ(countPickups(true), 1);   // once only
    parseFloorEnemyLists("", 0);
}

TEST_F(EnemyDying, DyingSequencesLastTheirFrames) {
    struct Case {
        int32_t kind;
        int32_t frames;   // updates from the first dying frame until it is freed
    };
    // Bombs count from the frame they were beaten (the first dying frame).
    const Case CASES[] = {{KIND_BOMB_RED, 300},   {KIND_BOMB_YELLOW, 300}, {KIND_BOMB_BLUE, 60},
                          {KIND_BOMB_GREEN, 180}, {KIND_KING_SLIME, 119},  {KIND_MOUSE_PANEL, 499},
                          {0, 1}};
    for (const Case& c : CASES) {
        resetEnemies();
        Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, c.kind);
        ASSERT_NE(e, nullptr);
        e->noGround = 1;
        killEnemy(*e);
        updateEnemies();   // the first dying frame
        EXPECT_EQ(framesUntilNotDying(*e), c.frames) << "kind " << c.kind;
        EXPECT_EQ(e->state, ENEMY_FREE) << "kind " << c.kind;
    }
}

TEST_F(EnemyDying, SkeletonsRiseAtNinety) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, KIND_SKELETON_WHITE);
    ASSERT_NE(e, nullptr);
    e->noGround = 1;
    e->revives = 1;
    killEnemy(*e);
    EXPECT_EQ(e->hp, e->maxHp);
    EXPECT_EQ(e->shownHp, 0.0f);
    EXPECT_EQ(framesUntilNotDying(*e), 90);
    EXPECT_EQ(e->state, ENEMY_ALIVE);
    EXPECT_EQ(e->revives, 0);
    EXPECT_EQ(gFloorStatus.enemyKillCombo, 0);   // no reward for a collapse
}

TEST_F(EnemyDying, 3DBossesFadeFromTheHundredthFrame) {
    for (int32_t kind : {KIND_JELLYFISH, KIND_CRAB, KIND_CATERPILLAR, KIND_GOLEM}) {
        resetEnemies();
        Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, kind);
        ASSERT_NE(e, nullptr);
        e->noGround = 1;
        killEnemy(*e);
        for (int32_t n = 1; n < 100; n++) updateEnemies();
        EXPECT_EQ(e->alpha, 255) << "kind " << kind;
        updateEnemies();
        EXPECT_EQ(e->alpha, 247) << "kind " << kind;
        EXPECT_EQ(framesUntilNotDying(*e), 31) << "kind " << kind;   // 247 - 8 x 31 is below 0
        EXPECT_EQ(e->alpha, 0);
    }
}

TEST_F(EnemyMotion, MotionRangesHoldTheLastRowPastTheTable) {
    EnemyMotionRange r = enemyMotionRange(KIND_CATERPILLAR, 5);   // its death motion, past its five rows
    EXPECT_EQ(r.start, 530);
    EXPECT_EQ(r.end, 620);
    EXPECT_EQ(r.hold, 1);
    EXPECT_EQ(enemyMotionRange(KIND_GOLEM, 10).start, 1500);
    EXPECT_EQ(enemyMotionRange(KIND_CRAB, 14).end, 2260);

    // A held motion stops at its end; a looping one wraps.
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, KIND_CATERPILLAR);
    ASSERT_NE(e, nullptr);
    setEnemyMotion(*e, 5);
    EXPECT_EQ(e->activeChannel, 1);
    EXPECT_EQ(e->blend, 0.0f);
    e->motionTimes[0][1] = 500.0f;
    e->motionTimes[0][0] = 130.0f;   // motion 0 loops over 120 frames
    updateEnemyMotionFrames();
    EXPECT_EQ(e->partFrames[1][0], static_cast<int32_t>(620.0f * 1000.0f / 60.0f));
    EXPECT_EQ(e->partFrames[0][99], static_cast<int32_t>(20.0f * 1000.0f / 60.0f));
    setEnemyMotion(*e, 5);   // already playing: nothing changes
    EXPECT_EQ(e->activeChannel, 1);
}

TEST_F(EnemyMotion, TurnsTowardThePlayerTheShortWay) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    playerAt(0.0f, 0.0f, -10.0f);   // bearing pi
    e->yaw = -3.0f;
    turnEnemyTowardPlayer(*e, 0.1f);   // across the seam, not back through 0
    EXPECT_NEAR(e->yaw, -3.1f, 1e-5f);
    e->yaw = 0.0f;
    turnEnemyTowardPlayer(*e, 3.5f);   // a step beyond pi snaps
    EXPECT_FLOAT_EQ(e->yaw, PI);
}

}  // namespace

namespace {

using EnemyMove = EnemyFixture;

TEST_F(EnemyMove, TheLeashHoldsAnEnemyWithinThreeHundredOfHome) {
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    e->noGround = 1;
    e->position = Vector3{400.0f, 0.0f, 0.0f};
    moveEnemy(*e);
    EXPECT_FLOAT_EQ(e->position.x, 300.0f);
    EXPECT_EQ(e->age, 1);
    e->noLeash = 1;
    e->position = Vector3{400.0f, 0.0f, 0.0f};
    moveEnemy(*e);
    EXPECT_FLOAT_EQ(e->position.x, 400.0f);
}

TEST_F(EnemyMove, TheGroundTheCharacterAndParalysisShapeTheStep) {
    StageRecord stage = {};
    stage.maptype = 1;
    StageRecord* previous = gCurrentStage;
    gCurrentStage = &stage;
    buildCollisionRoom({FLAT_FLOOR, {{{-5, 0, -20}, {-5, 5, -20}, {-5, 5, 20}, {-5, 0, 20}}, "gake"}});
    Enemy* e = spawnEnemy(0.0f, 2.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    // It lands on the floor and slows by friction.
    e->velocity = Vector3{0.1f, -0.5f, 0.0f};
    moveEnemy(*e);
    EXPECT_FLOAT_EQ(e->groundHeight, 0.0f);
    EXPECT_FLOAT_EQ(e->position.x, 0.1f);
    EXPECT_FLOAT_EQ(e->velocity.x, 0.1f * 0.82f);
    // The character's body takes 70 % of a step toward it.
    e->position = Vector3{0.0f, 0.0f, 0.0f};
    playerAt(0.5f, 0.0f, 0.0f);
    e->velocity = Vector3{0.1f, 0.0f, 0.0f};
    moveEnemy(*e);
    EXPECT_NEAR(e->position.x, 0.03f, 1e-6f);
    // Paralysed: no step of its own, but the knock-back push still moves it.
    playerAt(100.0f, 0.0f, 100.0f);
    e->position = Vector3{0.0f, 0.0f, 0.0f};
    e->paralysis = 5;
    e->velocity = Vector3{0.1f, 0.0f, 0.0f};
    e->push = Vector3{0.0f, 0.0f, 0.2f};
    moveEnemy(*e);
    EXPECT_FLOAT_EQ(e->position.x, 0.0f);
    EXPECT_FLOAT_EQ(e->position.z, 0.2f);
    EXPECT_FLOAT_EQ(e->push.z, 0.2f * 0.95f);
    // The wall at x = -5 pushes it back out of the probe's reach.
    e->paralysis = 0;
    e->push = Vector3{};
    e->velocity = Vector3{};
    e->position = Vector3{-4.5f, 0.0f, 0.0f};
    moveEnemy(*e);
    float reach = 2.0f * gEnemyKinds[0].wallRadius * gEnemyKinds[0].scale;
    EXPECT_NEAR(e->position.x, -5.0f + reach, 1e-4f);
    resetMapCollision();
    gCurrentStage = previous;
}

using EnemyArms = EnemyFixture;

TEST_F(EnemyArms, ArmsRideTheirOwnGolemLetGoAndSink) {
    spawnEnemy(0.0f, 0.0f, 0.0f, 0);   // record 0 is someone else
    Enemy* golem = spawnGolemGroup(-40.0f, -12.0f, -35.0f, KIND_GOLEM);
    ASSERT_NE(golem, nullptr);
    Enemy& right = gEnemies[golem->index + 1];
    Enemy& left = gEnemies[golem->index + 2];
    EXPECT_EQ(right.kind, KIND_GOLEM_RIGHT);
    EXPECT_EQ(left.kind, KIND_GOLEM_LEFT);
    EXPECT_EQ(right.parent, golem->index);
    EXPECT_EQ(left.parent, golem->index);
    EXPECT_EQ(golem->ai[0], 8);

    golem->position = Vector3{1.0f, 2.0f, 3.0f};
    golem->yaw = 0.5f;
    golem->blend = 0.25f;
    golem->noGround = 1;
    updateEnemies();
    EXPECT_EQ(right.position.x, golem->position.x);
    EXPECT_EQ(right.yaw, 0.5f);
    EXPECT_EQ(right.age, 1);   // frames attached to a living golem
    updateEnemyMotionFrames();
    EXPECT_EQ(right.blend, golem->blend);

    // The golem lets go of the right arm: 30 frames later it flies off.
    right.ai[1] = 1;
    for (int32_t i = 0; i < 29; i++) updateEnemies();
    EXPECT_EQ(right.parent, -1);
    EXPECT_EQ(left.parent, golem->index);
    // Detached, it sinks into the floor from its 100th frame, to -10 at most.
    for (int32_t i = 0; i < 200; i++) updateEnemies();
    EXPECT_GT(right.noPlayerBlock, 0);
    EXPECT_FLOAT_EQ(right.position.y, -10.0f);
}

TEST_F(EnemyArms, ADyingGolemTakesItsArmsAlong) {
    Enemy* golem = spawnGolemGroup(0.0f, 0.0f, 0.0f, KIND_GOLEM_DARK);
    ASSERT_NE(golem, nullptr);
    Enemy& arm = gEnemies[golem->index + 1];
    EXPECT_EQ(arm.kind, KIND_GOLEM_DARK_RIGHT);
    golem->noGround = 1;
    killEnemy(*golem);
    for (int32_t n = 0; n < 100; n++) updateEnemies();
    EXPECT_EQ(arm.alpha, golem->alpha);
    EXPECT_EQ(arm.state, ENEMY_DYING);
    framesUntilNotDying(*golem);
    EXPECT_EQ(arm.state, ENEMY_FREE);
}

}  // namespace
