// One tick of the player's control on a dungeon floor, and beside it one
// frame of a full enemy pool. The control's tick: the status tick, the
// action machine, the gems and pickups walk, the time limit, the trail and
// the mini-map, with the pad held in a slow circle so the figure steers and
// dashes. Set up once (no boot; tests/harness/harness.h only links the game).
#include <benchmark/benchmark.h>

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "game/state_registry.h"
#include "tests/harness/harness.h"

static StageRecord sStage;

static void setUpFloor() {
    resetGameState();
    seedRandom(1234);
    sStage.maptype = 1;
    sStage.stageCode = 10;
    gCurrentStage = &sStage;
    gChosenAdventurer = 1;   // Rerado dashes
    gCharaTable[1].walkSpeed = 0.15f;
    gCharaTable[1].dashSpeed = 0.2f;
    AdventurerRecord& a = runningGameState().adventurers[1];
    for (int32_t& key : a.equipment) key = -1;
    a.hpBase = 100;
    a.spBase = 40;
    a.nextLevelExp = 1 << 30;
    PartyState& p = gParty;
    p.models[0] = ADVENTURER_MODELS[1];
    p.models[1] = HEROINE_MODEL;
    p.models[2] = FAIRY_MODEL;
    p.hp = 100.0f;
    p.sp = 40.0f;
    p.nearestPickup = -1;
    for (int32_t& k : p.gemQueue) k = -1;
    p.randomShot = -1;
    for (CollisionHit& g : p.ground) g.block = -1;
    gDungeonControl.inputBlocked = 1;
    gFloorStart.floorTimeLimit = 1 << 30;
    gFloorGrid.roomsX = 7;
    gFloorGrid.roomsY = 7;
    // A floor littered with items to walk past, as after a few fights.
    for (int32_t i = 0; i < 120; i++) {
        Pickup& q = gPickups[i];
        q.kind = 7 + i;
        q.x = (float)(i % 12) - 6.0f;
        q.z = (float)(i / 12) - 5.0f;
    }
}

static void BM_DungeonControlTick(benchmark::State& state) {
    setUpFloor();
    static const uint16_t PAD[8] = {BUTTON_UP, BUTTON_UP | BUTTON_RIGHT, BUTTON_RIGHT, BUTTON_RIGHT | BUTTON_DOWN,
                                    BUTTON_DOWN, BUTTON_DOWN | BUTTON_LEFT, BUTTON_LEFT, BUTTON_LEFT | BUTTON_UP};
    int64_t n = 0;
    for (auto _ : state) {
        uint16_t held = PAD[(n / 30) % 8];
        gInputState[0].raw = held;
        gInputState[0].pressed = n % 30 == 0 || n % 30 == 3 ? held : 0;
        updateDungeonPlayer();
        benchmark::DoNotOptimize(gParty.velocity);
        n++;
    }
    resetGameState();
}
BENCHMARK(BM_DungeonControlTick);

// One frame of a full pool of 128 enemies awake around the character: sprite
// kinds walking in rings, and a few 3D-model bosses cross-fading motions.
static void BM_EnemyPoolTick(benchmark::State& state) {
    setUpFloor();
    resetEnemyKinds();
    sStage.deathheight = -100;
    gParty.positions[0] = Vector3{0.0f, 0.0f, 0.0f};
    static const int32_t KINDS[] = {0, 1, 6, 10, 13, 16, 17, 22, 44, 50, 61, 68, 70, 24};
    for (int32_t i = 0; i < ENEMY_POOL_SIZE; i++) {
        float a = (float)i * 0.37f, r = 4.0f + (float)(i % 16);
        Enemy* e = spawnEnemy(r * sinf(a), 0.0f, r * cosf(a), KINDS[i % 14]);
        if (!e) break;
        e->velocity = Vector3{0.05f * cosf(a), 0.0f, -0.05f * sinf(a)};
        e->glides = 1;         // they keep walking
        e->neverDormant = 1;   // and stay awake wherever they go
    }
    for (auto _ : state) {
        updateEnemies();
        benchmark::DoNotOptimize(gEnemies[0].position);
    }
    int32_t awake = 0;
    for (const Enemy& e : gEnemies) awake += e.state == ENEMY_ALIVE && e.dormancy == ENEMY_AWAKE;
    state.counters["awake"] = awake;
    resetGameState();
}
BENCHMARK(BM_EnemyPoolTick);

BENCHMARK_MAIN();
