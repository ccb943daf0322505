// One tick of a full pool of 512 attack objects against a full pool of 128
// enemies: swings, held beams, ice shards, thrown rocks and enemy beams
// sweeping 40 steps, every one testing the enemies (or the character) at
// each step. Serials are renewed before every tick so the objects keep
// finding targets instead of skipping them. Set up once (no boot;
// tests/harness/harness.h only links the game).
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

static void setUpFight() {
    resetGameState();
    resetEnemyKinds();
    seedRandom(1234);
    sStage.maptype = 1;
    gCurrentStage = &sStage;
    gParty.hp = 1e9f;
    gParty.totals[0] = 40;
    gParty.actionState = 2;   // the held beams stay
    gParty.positions[0] = Vector3{0.0f, 0.0f, 0.0f};
    for (int32_t i = 0; i < ENEMY_POOL_SIZE; i++) {
        float a = (float)i * 0.37f, r = 2.0f + (float)(i % 16);
        Enemy* e = spawnEnemy(r * sinf(a), 0.0f, r * cosf(a), i % 4);
        if (!e) break;
        e->hp = e->maxHp = 1e9f;
        e->centre = e->position;
        e->neverDormant = 1;
    }
}

// The objects, spread in rings around the character; beams are owned by
// the enemies and reach across the ring.
static void fillPool() {
    static const int32_t KINDS[] = {2, 114, 31, 86, 136, 97, 13, 117};
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; i++) {
        AttackObject& a = gAttackObjects[i];
        if (a.kind != 0) continue;
        AttackObject* o = allocAttackObject();
        if (!o) break;
        int32_t kind = KINDS[i % 8];
        float t = (float)i * 0.11f, r = 1.0f + (float)(i % 12);
        o->kind = kind;
        o->position = Vector3{r * sinf(t), 1.0f, r * cosf(t)};
        o->yaw = t;
        o->age = 6 + i % 60;
        bool enemys = kind == 86 || kind == 136 || kind == 13;
        o->side = enemys ? ATTACK_SIDE_TRAP : ATTACK_SIDE_PARTY;
        o->ownerParty = enemys ? -1 : 0;
        if (kind == 136) {
            o->ownerEnemy = i % ENEMY_POOL_SIZE;
            o->origin = gEnemies[o->ownerEnemy].position;
            o->age = 75 + i % 50;
        }
    }
}

static void BM_AttackObjectsTick(benchmark::State& state) {
    setUpFight();
    fillPool();
    int64_t live = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fillPool();   // replace those that ended
        for (AttackObject& a : gAttackObjects) a.serial = takeAttackSerial();
        gParty.invincibility = 0;
        gParty.stunTimer = 0;
        state.ResumeTiming();
        updateAttackObjects();
        benchmark::DoNotOptimize(gEnemies[0].hp);
    }
    for (const AttackObject& a : gAttackObjects) live += a.kind != 0;
    state.counters["live"] = (double)live;
    resetGameState();
}
BENCHMARK(BM_AttackObjectsTick);

BENCHMARK_MAIN();
