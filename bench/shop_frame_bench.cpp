// One drawn frame of the shop floor on the headless OpenGL device (Mesa's
// software renderer): the world's passes over the placed room, rugs and
// tables, then the overlay. Wall time, as Mesa renders on its own threads.
// Beside it the effects at their worst: every particle, effect set and
// effect object in use, one logic tick and one drawn frame.
#include <benchmark/benchmark.h>

#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "field/field.h"
#include "field/field_state.h"
#include "tests/field/shop_scene.h"
#include "tests/harness/harness.h"

static void BM_ShopFloorFrame(benchmark::State& state) {
    harnessBoot(harnessDrawingOptions());
    enterShopScene();
    for (auto _ : state) {
        renderFrame();
        benchmark::DoNotOptimize(gFrameCounter);
    }
    state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    harnessShutdown();
}
BENCHMARK(BM_ShopFloorFrame)->UseRealTime();

// The sample banks' star dust, ring and showcase glow over the counter, kept
// alive by a lifetime no tick reaches; every set instance running (their
// slots find the particle pool full); the effect-object pool filled with
// objects flying to the party and objects standing still, none of which ends
// while the party's skill runs.
static void fillEffectPools() {
    constexpr int32_t LONG_LIFE = 1 << 30;
    const int32_t definitions[3] = {4, 10, 14};
    for (int32_t i = 0; gParticles[PARTICLE_POOL_SIZE - 1].definition == -1 && i < PARTICLE_POOL_SIZE; ++i)
        spawnEffect(nullptr, (float)(i % 9) - 4.0f, 2.0f, (float)(i % 7) - 3.0f, definitions[i % 3], 1.0f, LONG_LIFE,
                    0.0f, EFFECT_ATTACH_FREE);
    for (int32_t i = 0; i < EFFECT_SET_INSTANCE_COUNT; ++i)
        spawnEffectSet(nullptr, 0.0f, 1.0f, 0.0f, i % 4, 1.0f, LONG_LIFE, 0.0f, EFFECT_ATTACH_FREE);
    gParty.skillActive = 1;
    for (int32_t i = 0; i < EFFECT_OBJECT_POOL_SIZE; ++i) {
        EffectObject& o = gEffectObjects[i];
        o = EffectObject{};
        o.kind = i % 2 ? 6 + i % 4 : 96;
        o.scale = 1.0f;
        o.paramB = i % 3;
    }
}

static void BM_EffectsTickFullPools(benchmark::State& state) {
    harnessBoot(HarnessOptions{});
    enterShopScene();
    fillEffectPools();
    for (auto _ : state) {
        updateEffectObjects();
        benchmark::DoNotOptimize(gParticles[0].position[0]);
    }
    harnessShutdown();
}
BENCHMARK(BM_EffectsTickFullPools);

static void BM_ShopFloorFrameFullEffects(benchmark::State& state) {
    harnessBoot(harnessDrawingOptions());
    enterShopScene();
    fillEffectPools();
    for (auto _ : state) {
        renderFrame();
        benchmark::DoNotOptimize(gFrameCounter);
    }
    state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    harnessShutdown();
}
BENCHMARK(BM_ShopFloorFrameFullEffects)->UseRealTime();

BENCHMARK_MAIN();
