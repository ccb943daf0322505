// The hitch a save puts on the main thread (a frame is 16.7 ms): the whole
// write of both files there, and the start of the same write on the worker
// (the copy of the image and the thread's start), in a temporary folder.
#include <benchmark/benchmark.h>

#include "engine/save_file.h"
#include "tests/temp_folder.h"

static void BM_SaveOnMainThread(benchmark::State& state) {
    TempFolder folder{"save_bench"};
    WorkingDirectory inFolder{folder.path()};
    loadSaveFile();
    for (auto _ : state) benchmark::DoNotOptimize(writeSaveSlot(0));
}
BENCHMARK(BM_SaveOnMainThread)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_SaveStartedOnWorker(benchmark::State& state) {
    TempFolder folder{"save_bench"};
    WorkingDirectory inFolder{folder.path()};
    loadSaveFile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(startSaveSlotWrite(0));
        // The write itself runs on while the frames go on; not the hitch.
        state.PauseTiming();
        finishSaveWrite();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveStartedOnWorker)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
