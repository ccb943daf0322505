// One drawn frame of the shop floor on the headless OpenGL device (Mesa's
// software renderer): the world's passes over the placed room, rugs and
// tables, then the overlay. Wall time, as Mesa renders on its own threads.
#include <benchmark/benchmark.h>

#include "engine/frame_loop.h"
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

BENCHMARK_MAIN();
