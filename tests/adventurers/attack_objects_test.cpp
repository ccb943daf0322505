// Attack objects and their hits: the pool and serials, the damage rule on
// enemies (its multipliers in order, the crab's shell, dying enemies), the
// controlled character's hit (reach, guard, stun, hit-stop, a trap enemy
// that never finishes her), the kinds' cadences (a beam's sweep, the held
// beam, the satellites, the ice pillar), the gates and the wall stage.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/device.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/screen_mapping.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "field/field_state.h"
#include "game/state_registry.h"
#include "tests/adventurers/collision_room.h"

namespace {

constexpr float PI_F = 3.14159265f;
constexpr int32_t TARGET_KIND = 0;
constexpr int32_t CRAB_KIND = 68;
constexpr int32_t VUROR = 0;

Vector3 dirOf(float t) { return {sinf(t), 0.0f, cosf(t)}; }

class AttackFixture : public ::testing::Test {
protected:
    GameStateScope scope;
    StageRecord stage{};
    StageRecord* savedStage = nullptr;
    void SetUp() override {
        savedStage = gCurrentStage;
        resetGameState();
        stage = StageRecord{};
        stage.maptype = 1;   // a dungeon floor's map grid
        gCurrentStage = &stage;
        resetEnemyKinds();
        resetFloorMap();
        resetMapCollision();
        seedRandom(4321);
        gRun.dungeonIndex = 0;
        gFloorIndex = 1;   // not a boss floor
        gChosenAdventurer = VUROR;
        runningGameState().adventurers[0].nextLevelExp = 1000000;
        gParty.hp = 100.0f;
        gParty.positions[0] = {100.0f, 0.0f, 100.0f};
        for (int32_t k : {TARGET_KIND, CRAB_KIND}) {
            EnemyKind& row = gEnemyKinds[k];
            row.hitRadius = 1.0f;
            row.centreHeight = 1.0f;
            row.scale = 1.0f;
            row.defence = 20;
            row.magicDefence = 0;
            row.attack = 20;
            row.magic = 20;
        }
        lookAtOrigin();
    }
    void TearDown() override {
        gCurrentStage = savedStage;
        resetMapCollision();
        resetFloorMap();
        resetEnemyKinds();
    }

    // The field camera above the origin, looking down at it.
    static void lookAtOrigin() {
        gCamera.view = matrixLookAtRH({0.0f, 60.0f, 60.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
        gCamera.projection = matrixPerspectiveFovRH(PI_F / 4.0f, 4.0f / 3.0f, 1.0f, 2000.0f);
        cacheViewProjection();
    }

    // An enemy standing at a point, its body centre there, with plenty of HP.
    static Enemy& enemyAt(float x, float z, float yaw = 0.0f, int32_t kind = TARGET_KIND) {
        Enemy* e = spawnEnemy(x, 0.0f, z, kind);
        EXPECT_NE(e, nullptr);
        e->hp = e->maxHp = 1000.0f;
        e->yaw = yaw;
        e->centre = e->position;   // the enemy update would put it there for this kind's rows
        return *e;
    }

    static AttackObject& object(int32_t kind, int32_t side, Vector3 at) {
        AttackObject* a = allocAttackObject();
        EXPECT_NE(a, nullptr);
        a->kind = kind;
        a->side = side;
        a->position = at;
        if (side == ATTACK_SIDE_PARTY) a->ownerParty = 0;
        return *a;
    }

    // What the bonus of a damage will add: the generator's next draw.
    static int32_t bonusFor(int32_t damage, uint32_t seed) {
        seedRandom(seed);
        int32_t b = damage >= 5 ? randomInt() % (damage / 5) : (randomInt() & 1);
        seedRandom(seed);
        return b;
    }

    static void ticks(int32_t n) {
        for (int32_t i = 0; i < n; ++i) updateAttackObjects();
    }
};

using AttackObjectPool = AttackFixture;
using AttackObjectKinds = AttackFixture;
using AttackObjectWalls = AttackFixture;
using HitResolutionEnemy = AttackFixture;
using HitResolutionPlayer = AttackFixture;
using HitResolutionFloorObjects = AttackFixture;

TEST_F(AttackObjectPool, TakesTheFirstFreeRecordDropsTheOverflowAndNumbersSerials) {
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i) {
        AttackObject* a = allocAttackObject();
        ASSERT_EQ(a, &gAttackObjects[i]);
        EXPECT_EQ(a->serial, i);
        a->kind = 31;
    }
    EXPECT_EQ(allocAttackObject(), nullptr);   // all live: the request drops
    gAttackObjects[7].kind = 0;
    AttackObject* again = allocAttackObject();
    EXPECT_EQ(again, &gAttackObjects[7]);
    EXPECT_EQ(again->serial, ATTACK_OBJECT_POOL_SIZE);   // serials only grow
    EXPECT_EQ(again->ownerEnemy, -1);
    EXPECT_EQ(again->power, 1.0f);
    EXPECT_EQ(takeAttackSerial(), ATTACK_OBJECT_POOL_SIZE + 1);

    // A floor start frees them all and numbers each record by its index.
    resetEffects(0);
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i) {
        EXPECT_EQ(gAttackObjects[i].kind, 0);
        EXPECT_EQ(gAttackObjects[i].serial, i);
    }
}

TEST_F(AttackObjectPool, HomingChoosesTheNearestEnemyInViewAndClampsTheSpeed) {
    AttackObject& a = object(100, ATTACK_SIDE_PARTY, {0.0f, 1.0f, 0.0f});
    a.velocity = {0.0f, 0.0f, 5.0f};
    EXPECT_EQ(findHomingTarget(a, 0.3f, 0.03f, 0.005f, 0.96f, -1), -1);
    EXPECT_NEAR(sqrtf(a.velocity.x * a.velocity.x + a.velocity.y * a.velocity.y + a.velocity.z * a.velocity.z),
                0.3f, 1e-5f);

    Enemy& far = enemyAt(10.0f, 0.0f);
    Enemy& nearer = enemyAt(-4.0f, 0.0f);
    Enemy& asleep = enemyAt(1.0f, 0.0f);
    asleep.dormancy = ENEMY_ASLEEP_UNTIL_NEAR;
    Enemy& behind = enemyAt(0.0f, 1000.0f);   // out of view
    (void)far;
    (void)behind;
    a.velocity = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(findHomingTarget(a, 0.6f, 0.03f, 0.05f, 0.96f, -1), nearer.index);
    EXPECT_EQ(a.target.x, -4.0f);
    EXPECT_LT(a.velocity.x, 0.0f);   // steered toward it
    // A given target keeps the stored point even when the enemy moved.
    nearer.centre = {50.0f, 0.0f, 0.0f};
    findHomingTarget(a, 0.6f, 0.03f, 0.05f, 0.96f, nearer.index);
    EXPECT_EQ(a.target.x, -4.0f);
}

TEST_F(HitResolutionEnemy, DamageIsHalfTheAttackLessAQuarterOfTheDefenceThenMultipliersInOrder) {
    gParty.totals[0] = 40;   // ATK 40 against DEF 20: 20 - 5 = 15
    struct Case {
        const char* what;
        float side;    // where the object stands, as an angle off the enemy's heading
        int32_t busy;  // the enemy's behaviour state
        int32_t base;
    };
    const Case CASES[] = {
        {"front", 0.0f, 0, 15},
        {"side", PI_F / 2.0f, 0, 18},          // x 1.2
        {"behind", PI_F, 0, 22},               // x 1.5
        {"behind while busy", PI_F, 1, 27},    // x 1.2 = 18, then x 1.5 = 27
    };
    for (const Case& c : CASES) {
        resetGameState();
        gParty.hp = 100.0f;
        gParty.totals[0] = 40;
        Enemy& e = enemyAt(0.0f, 0.0f, 0.3f);
        e.ai[0] = c.busy;
        AttackObject& a = object(2, ATTACK_SIDE_PARTY, vec3Add(e.centre, vec3Scale(dirOf(0.3f + c.side), 0.5f)));
        int32_t bonus = bonusFor(c.base, 99);
        ASSERT_EQ(resolveAttackHit(a), 1) << c.what;
        EXPECT_EQ(gCombat.lastDamage, c.base + bonus) << c.what;
        EXPECT_EQ(e.hp, 1000.0f - (float)(c.base + bonus)) << c.what;
        EXPECT_LE(bonus, c.base / 5 - 1) << c.what;
        EXPECT_EQ(gRun.hitStopTimer, 4) << c.what;
        EXPECT_EQ(gRun.lastHitValue, e.index) << c.what;
        EXPECT_EQ(e.flinchTimer, 40) << c.what;
        EXPECT_EQ(e.hitSerials[0], a.serial) << c.what;
        // The same object never hits it again.
        EXPECT_EQ(resolveAttackHit(a), 0) << c.what;
    }
}

TEST_F(HitResolutionEnemy, CriticalBerserkAndFloorConditionsStackAndSmallDamageStillDealsOne) {
    gParty.totals[0] = 40;
    Enemy& e = enemyAt(0.0f, 0.0f);
    AttackObject& a = object(2, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.5f});
    a.critical = 1;
    gParty.berserkTimer = 10;
    int32_t expected = 15 * 3 / 2 * 2;   // x 1.5, then x 2: 44
    int32_t bonus = bonusFor(expected, 5);
    ASSERT_EQ(resolveAttackHit(a), 1);
    EXPECT_EQ(gCombat.lastDamage, expected + bonus);
    EXPECT_EQ(gRun.hitStopTimer, 8);   // a critical blow holds longer

    // An attack below the defence still deals 1, plus 0 or 1.
    gParty.totals[0] = 2;
    gParty.berserkTimer = 0;
    AttackObject& weak = object(2, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.5f});
    int32_t small = bonusFor(1, 6);
    resolveAttackHit(weak);
    EXPECT_EQ(gCombat.lastDamage, 1 + small);
    (void)e;
}

TEST_F(HitResolutionEnemy, ACrabIsHurtOnlyFromTheFrontUnlessTurnedOver) {
    gParty.totals[0] = 40;
    struct Case {
        float angle;
        int32_t turnedOver;
        bool hurt;
    };
    const Case CASES[] = {
        {0.0f, 0, true}, {0.25f * PI_F, 0, true}, {0.35f * PI_F, 0, false},
        {PI_F, 0, false}, {PI_F, 1, true},
    };
    for (const Case& c : CASES) {
        resetGameState();
        gParty.hp = 100.0f;
        gParty.totals[0] = 40;
        // Away from the origin: its shell points (attach points) stay at the origin, out of reach.
        Enemy& crab = enemyAt(30.0f, 30.0f, 0.0f, CRAB_KIND);
        if (c.turnedOver) {
            crab.ai[0] = 6;
            crab.ai[2] = 1;
        }
        AttackObject& a = object(2, ATTACK_SIDE_PARTY, vec3Add(crab.centre, vec3Scale(dirOf(c.angle), 0.5f)));
        ASSERT_EQ(resolveAttackHit(a), 1);
        EXPECT_EQ(crab.hp < 1000.0f, c.hurt) << "angle " << c.angle << " turned " << c.turnedOver;
    }
    // A blow on a shell point is taken without damage.
    resetGameState();
    gParty.hp = 100.0f;
    gParty.totals[0] = 40;
    Enemy& crab = enemyAt(30.0f, 30.0f, 0.0f, CRAB_KIND);
    crab.attachPos[3] = {40.0f, 0.0f, 40.0f};
    AttackObject& shell = object(2, ATTACK_SIDE_PARTY, {40.0f, 0.0f, 40.2f});
    ASSERT_EQ(resolveAttackHit(shell), 1);
    EXPECT_EQ(crab.hp, 1000.0f);
    EXPECT_EQ(crab.hitSerials[0], shell.serial);
}

TEST_F(HitResolutionEnemy, DyingEnemiesAreNotDamagedAgain) {
    gParty.totals[0] = 40;
    Enemy& e = enemyAt(0.0f, 0.0f);
    killEnemy(e);
    ASSERT_EQ(e.state, ENEMY_DYING);
    AttackObject& a = object(2, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.5f});
    EXPECT_EQ(resolveAttackHit(a), 0);   // only a kicked bomb can be struck while dying

    e.kicked = 1;
    float hp = e.hp;
    int32_t exp = runningGameState().adventurers[0].experience;
    a.velocity = {0.0f, 0.0f, -0.5f};
    ASSERT_EQ(resolveAttackHit(a), 1);
    EXPECT_EQ(e.hp, hp);
    EXPECT_EQ(runningGameState().adventurers[0].experience, exp);
    EXPECT_EQ(e.velocity.y, 0.5f);   // the blow still flings it
}

TEST_F(HitResolutionEnemy, TheVortexFreezesWithoutDamageAndHoldsTheCharacter) {
    gParty.totals[0] = 40;
    gEnemyKinds[TARGET_KIND].modelKind = 0;   // a sprite kind
    Enemy& e = enemyAt(0.0f, 0.0f);
    AttackObject& vortex = object(83, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.5f});
    vortex.age = 100;
    ASSERT_EQ(resolveAttackHit(vortex), 1);
    EXPECT_EQ(e.hp, 1000.0f);
    EXPECT_EQ(e.hitStun, 500);   // frozen until the vortex ends
    EXPECT_EQ(gCombat.lastDamage, 0);
    EXPECT_EQ(gRun.hitStopTimer, 4);
    EXPECT_EQ(gRun.lastHitValue, e.index);

    // An enemy's vortex only stops the character where she stands.
    gParty.positions[0] = {20.0f, 0.0f, 20.0f};
    gParty.velocity = {0.3f, 0.1f, 0.3f};
    AttackObject& held = object(83, ATTACK_SIDE_ENEMY, {20.0f, 0.0f, 21.0f});
    held.hitRadius = 1.0f;
    ASSERT_EQ(resolveAttackHit(held), 1);
    EXPECT_EQ(gParty.velocity.x, 0.0f);
    EXPECT_EQ(gParty.velocity.y, 0.1f);
    EXPECT_EQ(gParty.velocity.z, 0.0f);
    EXPECT_EQ(gParty.invincibility, 0);
    EXPECT_EQ(gParty.hp, 100.0f);
}

TEST_F(HitResolutionEnemy, GatesSuspendEveryHit) {
    gParty.totals[0] = 40;
    Enemy& e = enemyAt(0.0f, 0.0f);
    AttackObject& a = object(2, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.5f});
    int32_t* gates[] = {&gRun.runEndState, &gRun.gatePrompt, &gRun.equipPrompt, &gEventReady};
    for (int32_t* gate : gates) {
        *gate = 1;
        gCombat.hitCheckRan = 0;
        EXPECT_EQ(resolveAttackHit(a), 0);
        EXPECT_EQ(gCombat.hitCheckRan, 0);
        *gate = 0;
    }
    EXPECT_EQ(e.hp, 1000.0f);
    EXPECT_EQ(resolveAttackHit(a), 1);
    EXPECT_EQ(gCombat.hitCheckRan, 1);
}

TEST_F(HitResolutionPlayer, ReachGuardStunAndHitStopOfTheControlledCharacter) {
    struct Case {
        const char* what;
        int32_t kind;
        float distance;
        float facing;        // the character's heading; the object comes from +z
        int32_t adventurer;
        int32_t result;
        int32_t invincibility, stun, hitStop;
    };
    // The object moves along -z toward the character; she faces it at heading 0.
    const Case CASES[] = {
        {"in reach", 13, 1.9f, PI_F / 2.0f, VUROR, 1, 30, 30, 4},
        {"out of reach", 13, 2.1f, PI_F / 2.0f, VUROR, 0, 0, 0, 0},
        {"heavy blow", 14, 1.0f, PI_F / 2.0f, VUROR, 1, 30, 70, 4},
        {"guarded rock", 86, 1.0f, 0.0f, VUROR, 2, 15, 0, 4},
        {"rock from the side", 86, 1.0f, PI_F / 2.0f, VUROR, 1, 30, 30, 4},
        {"rush", 160, 1.0f, PI_F / 2.0f, VUROR, 1, 4, 0, 2},
        {"Rerado cannot guard a rock", 86, 1.0f, 0.0f, 1, 1, 30, 30, 4},
    };
    for (const Case& c : CASES) {
        resetGameState();
        gChosenAdventurer = c.adventurer;
        gParty.hp = 100.0f;
        gParty.positions[0] = {0.0f, 0.0f, 0.0f};
        gParty.facing = c.facing;
        Enemy& owner = enemyAt(20.0f, 20.0f);
        AttackObject& a = object(c.kind, ATTACK_SIDE_ENEMY, {0.0f, 1.0f, c.distance});
        a.ownerEnemy = owner.index;
        a.velocity = {0.0f, 0.0f, -0.2f};
        EXPECT_EQ(resolveAttackHit(a), c.result) << c.what;
        EXPECT_EQ(gParty.invincibility, c.invincibility) << c.what;
        EXPECT_EQ(gParty.stunTimer, c.stun) << c.what;
        EXPECT_EQ(gRun.hitStopTimer, c.hitStop) << c.what;
        if (c.result == 1) {
            EXPECT_LT(gParty.hp, 100.0f) << c.what;
            EXPECT_EQ(gParty.hp, 100.0f - (float)gCombat.lastDamage) << c.what;
        } else {
            EXPECT_EQ(gParty.hp, 100.0f) << c.what;
        }
        // While invincible nothing more lands.
        if (c.result != 0) {
            EXPECT_EQ(resolveAttackHit(a), 0) << c.what;
        }
    }
}

TEST_F(HitResolutionPlayer, VurorParriesAnArrowHeadOnAndIsHitFromTheSide) {
    gParty.positions[0] = {0.0f, 0.0f, 0.0f};
    for (float facing : {0.0f, PI_F / 2.0f}) {
        gParty.invincibility = 0;
        gParty.facing = facing;
        AttackObject& a = object(81, ATTACK_SIDE_ENEMY, {0.0f, 1.0f, 1.0f});
        a.velocity = {0.0f, 0.0f, -0.2f};
        int32_t r = resolveAttackHit(a);
        EXPECT_EQ(r, facing == 0.0f ? 2 : 1);
        EXPECT_EQ(a.kind == 0, facing == 0.0f);   // a parry destroys it
        a.kind = 0;
    }
}

TEST_F(HitResolutionPlayer, ATrapEnemyLeavesOneHpAndAZeroBlowBarelyStuns) {
    gParty.positions[0] = {0.0f, 0.0f, 0.0f};
    gParty.hp = 10.0f;
    gEnemyKinds[TARGET_KIND].attack = 500;
    Enemy& trap = enemyAt(20.0f, 20.0f);
    trap.trapSpawned = 2;
    AttackObject& a = object(13, ATTACK_SIDE_ENEMY, {0.0f, 1.0f, 1.0f});
    a.ownerEnemy = trap.index;
    ASSERT_EQ(resolveAttackHit(a), 1);
    EXPECT_EQ(gParty.hp, 1.0f);
    EXPECT_EQ(gRun.runEndState, RUN_GOES_ON);
    EXPECT_EQ(gParty.stunTimer, 30);

    // At 1 HP its blows deal 0 and stun for at most 2 ticks.
    gParty.invincibility = 0;
    AttackObject& b = object(13, ATTACK_SIDE_ENEMY, {0.0f, 1.0f, 1.0f});
    b.ownerEnemy = trap.index;
    ASSERT_EQ(resolveAttackHit(b), 1);
    EXPECT_EQ(gParty.hp, 1.0f);
    EXPECT_EQ(gCombat.lastDamage, 0);
    EXPECT_EQ(gParty.stunTimer, 2);

    // A falling rock has no owner: it reads the spare row and may finish her.
    gParty.invincibility = 0;
    gEnemyKinds[26].attack = 500;
    AttackObject& rock = object(44, ATTACK_SIDE_TRAP, {0.0f, 1.0f, 1.0f});
    rock.hitRadius = 1.2f;
    ASSERT_EQ(resolveAttackHit(rock), 1);
    EXPECT_EQ(gParty.hp, 0.0f);
    EXPECT_EQ(gRun.runEndState, RUN_DEFEATED);
}

TEST_F(AttackObjectKinds, ABeamSweepHitsEachEnemyOnceAndEndsTheTickAfterItsOwnerDies) {
    Enemy& owner = enemyAt(0.0f, 0.0f);
    Enemy& target = enemyAt(0.0f, 30.0f);
    AttackObject& beam = object(136, ATTACK_SIDE_TRAP, {0.0f, 0.0f, 0.0f});
    beam.ownerEnemy = owner.index;
    beam.origin = owner.position;
    int32_t hits = 0;
    float hp = target.hp;
    for (int32_t t = 0; t < 100; ++t) {
        updateAttackObjects();
        if (target.hp < hp) hits++;
        hp = target.hp;
    }
    EXPECT_EQ(beam.age, 100);
    EXPECT_EQ(hits, 1);   // 40 steps a tick over 25 ticks, one hit
    EXPECT_EQ(owner.hp, 1000.0f);   // never its own owner

    killEnemy(owner);
    ASSERT_EQ(beam.kind, 136);
    updateAttackObjects();
    EXPECT_EQ(beam.kind, 0);
}

TEST_F(AttackObjectKinds, TheHeldBeamHitsAgainEveryFiveTicksWhileTheActionLasts) {
    gParty.positions[0] = {0.0f, 0.0f, 0.0f};
    gParty.actionState = 2;
    gParty.totals[0] = 40;
    Enemy& e = enemyAt(-0.4f, 1.8f, PI_F);
    AttackObject& beam = object(114, ATTACK_SIDE_PARTY, {0.0f, 1.0f, 0.0f});
    beam.yaw = 0.0f;
    std::vector<int32_t> hitAges;
    float hp = e.hp;
    for (int32_t t = 0; t < 25; ++t) {
        updateAttackObjects();
        if (e.hp < hp) hitAges.push_back(beam.age);
        hp = e.hp;
    }
    EXPECT_EQ(hitAges, (std::vector<int32_t>{4, 9, 14, 19, 24}));
    gParty.actionState = 0;
    updateAttackObjects();
    EXPECT_EQ(beam.kind, 0);
}

TEST_F(AttackObjectKinds, TheSeventhWaitingSatelliteLaunchesThemAll) {
    gParty.positions[0] = {0.0f, 0.0f, 0.0f};
    for (int32_t i = 0; i < 6; ++i) object(117, ATTACK_SIDE_PARTY, {0.0f, 2.0f, 0.0f});
    ticks(150);
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(gAttackObjects[i].age, 100) << i;   // six orbit and wait
    // The seventh: the first that then finds seven launches all seven at once.
    object(117, ATTACK_SIDE_PARTY, {0.0f, 2.0f, 0.0f});
    updateAttackObjects();
    for (int32_t i = 0; i < 7; ++i) {
        EXPECT_GE(gAttackObjects[i].age, 200) << i;
        EXPECT_NEAR(gAttackObjects[i].velocity.z, 0.24f, 1e-5f) << i;   // along her heading
    }
}

TEST_F(AttackObjectKinds, EveryHitOfTheIcePillarShortensItsLife) {
    gParty.totals[2] = 40;
    gEnemyKinds[TARGET_KIND].centreHeight = 10.0f;   // tall enough for the pillar rising from below
    Enemy& e = enemyAt(0.0f, 0.0f);
    AttackObject& ice = object(97, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.0f});
    std::vector<int32_t> ages;
    float hp = e.hp;
    while (ice.kind != 0) {
        updateAttackObjects();
        if (e.hp < hp) ages.push_back(ice.age);
        hp = e.hp;
    }
    // A fresh serial every tenth age; each hit adds 25.
    ASSERT_GE(ages.size(), 2u);
    EXPECT_EQ(ages[0], 70 + 25);
    EXPECT_EQ(ages[1], 100 + 25);
}

TEST_F(AttackObjectWalls, ASwingThatMeetsAWallSparksAndEndsUnlessHitsAreSuspended) {
    const RoomQuad wall = {{{5, -5, 2}, {5, 5, 2}, {-5, 5, 2}, {-5, -5, 2}}, "gake"};
    buildCollisionRoom({FLAT_FLOOR, wall});
    gParty.positions[0] = {0.0f, 0.0f, 0.5f};
    // The sparks' sound, as the mixer would take it.
    int32_t sparks = -1;
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot)
        if (SOUND_EFFECT_TABLE[slot] == 359) sparks = slot;
    ASSERT_GE(sparks, 0);
    int32_t wasReady = gSound.ready;
    gSound.ready = 1;
    {
        float t = -1.0f;
        CollisionHit hit = {};
        ASSERT_EQ(castMapSegment(0.0f, 1.0f, 1.3f, 0.0f, 0.0f, 1.0f, &t, &hit), 1) << "the wall stands ahead";
        EXPECT_EQ(hitSurface(hit), SURFACE_CLIFF);
    }
    for (int32_t suspended : {1, 0}) {
        resetEffects(0);
        memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
        gEventReady = suspended;
        AttackObject& a = object(2, ATTACK_SIDE_PARTY, {0.0f, 1.0f, 1.5f});
        a.velocity = {0.0f, 0.0f, 1.0f};
        a.wallCheck = 1;
        a.age = 5;   // inside the hit window
        updateAttackObjects();
        EXPECT_EQ(a.kind == 0, suspended == 0) << "suspended " << suspended;
        EXPECT_EQ(gSound.effectRequests[sparks], suspended == 0 ? 1 : 0) << "suspended " << suspended;
    }
    memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
    gSound.ready = wasReady;
    gEventReady = 0;
}

TEST_F(AttackObjectWalls, ABlowOnABreakableBlockCountsItDownFlashingItAndBreaksItAtZero) {
    buildCollisionRoom({FLAT_FLOOR});
    buildCollisionRoom({{{{5, -5, 2}, {5, 5, 2}, {-5, 5, 2}, {-5, -5, 2}}, "gake"}}, 1);
    BreakableObjects& b = gBreakableObjects;
    b.count = 1;
    b.alive[0] = 1;
    b.blockId[0] = 1;
    gParty.positions[0] = {0.0f, 0.0f, 0.5f};
    auto swing = [] {
        AttackObject& a = object(2, ATTACK_SIDE_PARTY, {0.0f, 1.0f, 1.5f});
        a.velocity = {0.0f, 0.0f, 1.0f};
        a.wallCheck = 1;
        a.age = 5;
        updateAttackObjects();
        EXPECT_EQ(a.kind, 0);   // the block stops it
    };
    b.hitsLeft[0] = 100;   // a block that never gives way
    swing();
    EXPECT_EQ(b.hitsLeft[0], 100);
    EXPECT_EQ(b.flashTimer[0], 0);
    EXPECT_EQ(b.alive[0], 1);

    b.hitsLeft[0] = 2;
    swing();
    EXPECT_EQ(b.hitsLeft[0], 1);
    EXPECT_EQ(b.flashTimer[0], 30);
    EXPECT_EQ(b.alive[0], 1);
    swing();
    EXPECT_EQ(b.hitsLeft[0], 0);
    EXPECT_EQ(b.alive[0], 0);
}

TEST_F(HitResolutionFloorObjects, GrassIsCutAndAGateOpensOnItsLastHit) {
    int32_t grass = placeFloorObject({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, FLOOR_OBJECT_GRASS_A);
    int32_t gate = placeFloorObject({20.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, FLOOR_OBJECT_RETURN_GATE);
    ASSERT_GE(grass, 0);
    ASSERT_GE(gate, 0);
    AttackObject& a = object(2, ATTACK_SIDE_PARTY, {0.0f, 0.0f, 0.5f});
    a.hitRadius = 2.0f;
    EXPECT_EQ(resolveAttackHit(a), 1);
    EXPECT_EQ(gFloorObjects[grass].recentAttacks[0], a.serial);
    EXPECT_EQ(resolveAttackHit(a), 0);   // once per serial
    AttackObject& b = object(2, ATTACK_SIDE_PARTY, {20.0f, 0.0f, 0.5f});
    b.hitRadius = 2.0f;
    int32_t hitsLeft = gFloorObjects[gate].hitPoints;
    ASSERT_GE(hitsLeft, 1);
    for (int32_t i = 0; i < hitsLeft; ++i) {
        b.serial = takeAttackSerial();
        EXPECT_EQ(resolveAttackHit(b), 1);
    }
    EXPECT_EQ(gFloorObjects[gate].state, FLOOR_OBJECT_ACTIVE);
    EXPECT_EQ(gFloorObjects[gate].wasHit, 1);
    // Enemies' attacks never strike floor objects.
    AttackObject& c = object(13, ATTACK_SIDE_ENEMY, {0.0f, 0.0f, 0.5f});
    c.hitRadius = 2.0f;
    EXPECT_EQ(resolveAttackHit(c), 0);
}

}  // namespace
