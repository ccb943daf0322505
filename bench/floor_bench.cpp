// Dungeon floors: the generator alone on a few grid sizes, and a whole floor
// start (the generator, the party, the decorations, gates and chests over
// the sample's collision blocks) on a booted game standing on a dungeon
// stage. Both run on the calling thread, as the loader thread runs them.
#include <benchmark/benchmark.h>

#include "dungeon/dungeon.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/stage_index.h"
#include "tests/harness/harness.h"

// dungeon, floor: 5 x 5 (dungeon 0), 7 x 5 (dungeon 1), 7 or 9 square (dungeon 4).
static void BM_GenerateFloor(benchmark::State& state) {
    StageRecord stage;
    stage.maptype = 1;
    StageRecord* previous = gCurrentStage;
    gCurrentStage = &stage;
    gDungeonIndex = (int32_t)state.range(0);
    gFloorIndex = (int32_t)state.range(1);
    seedRandom(1);
    for (auto _ : state) {
        generateFloor();
        benchmark::DoNotOptimize(gMapGrid);
    }
    gCurrentStage = previous;
}
BENCHMARK(BM_GenerateFloor)->Args({0, 3})->Args({1, 12})->Args({4, 60});

static void BM_StartFloor(benchmark::State& state) {
    harnessBoot(HarnessOptions{});
    const InputScriptStep START[] = {{0, 0}, {10, BUTTON_CONFIRM}, {12, 0}};
    harnessRunTicks(160, START, 3);
    int32_t stage = -1;
    for (int32_t s = 0; s < gStageCount; ++s)
        if (gStages[s].stageCode == 11) stage = s;
    gDungeonIndex = 4;
    requestStageChange(stage, 0, 0, 41);
    harnessRunTicks(20);
    if (gGameMode != GAME_MODE_FIELD || isSceneLoading() || gStageIndex != stage) {
        state.SkipWithError("the dungeon stage did not load");
        harnessShutdown();
        return;
    }
    for (auto _ : state) {
        startFloor();
        benchmark::DoNotOptimize(gFloorTimeLimit);
    }
    harnessShutdown();
}
BENCHMARK(BM_StartFloor)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
