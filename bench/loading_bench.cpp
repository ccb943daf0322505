// Loading: the start-up to the title, and a scene change to the title on its
// loader thread (the title's pictures decoded and made into textures). Both
// wait on other threads (the loader, Mesa's), so both are timed by the wall
// clock.
#include <benchmark/benchmark.h>

#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/scene_pictures.h"
#include "tests/harness/harness.h"

static void BM_StartupToTitle(benchmark::State& state) {
    for (auto _ : state) {
        harnessBoot(HarnessOptions{});
        benchmark::DoNotOptimize(gGameMode);
        state.PauseTiming();
        harnessShutdown();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToTitle)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_SceneChangeToTitle(benchmark::State& state) {
    harnessBoot(HarnessOptions{});
    for (auto _ : state) {
        releaseTitleTextures();
        gGameMode = GAME_MODE_TITLE;
        startSceneLoader();
        waitForLoaderThread();
        pollLoaderThread();
        benchmark::DoNotOptimize(gSceneLoading);
    }
    harnessShutdown();
}
BENCHMARK(BM_SceneChangeToTitle)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
