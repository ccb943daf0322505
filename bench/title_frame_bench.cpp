// The idle title: one logic tick and one drawn frame on the headless OpenGL
// device (Mesa's software renderer). A drawn frame is timed by the wall
// clock: Mesa renders on its own threads, so the calling thread's CPU time
// would count only a part of each frame.
#include <benchmark/benchmark.h>

#include "engine/frame_loop.h"
#include "tests/harness/harness.h"

static void BM_IdleTitleTick(benchmark::State& state) {
    harnessBoot(harnessDrawingOptions());
    for (auto _ : state) {
        updateTick();
        benchmark::DoNotOptimize(gTickCounter);
    }
    state.counters["ticks/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    harnessShutdown();
}
BENCHMARK(BM_IdleTitleTick);

static void BM_IdleTitleFrame(benchmark::State& state) {
    harnessBoot(harnessDrawingOptions());
    for (auto _ : state) {
        updateTick();
        renderFrame();
        benchmark::DoNotOptimize(gFrameCounter);
    }
    state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    harnessShutdown();
}
BENCHMARK(BM_IdleTitleFrame)->UseRealTime();

BENCHMARK_MAIN();
