// The whole game as tollivand-run runs it: turns of the real message loop on
// the virtual clock, each tick with its drawn frame, on the headless OpenGL
// device (Mesa's software renderer; argument 0) or the recording device,
// which draws nothing (argument 1), so the two show what drawing costs.
// Ticks per second of wall time: of the idle title, and of a scene change
// from the boot (the title, New Game, its flash and fade-out, the next
// scene's load on the loader thread and its first ticks).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "platform/audio.h"
#include "tests/harness/harness.h"

static const GfxBackend* deviceOf(const benchmark::State& state) {
    return state.range(0) == 0 ? &GFX_HEADLESS : &GFX_RECORDING;
}

static InputScript scriptOf(const char* text) {
    InputScript script;
    InputScriptError error;
    if (!parseInputScript(text, strlen(text), script, error)) fprintf(stderr, "bench script: %s\n", error.message);
    return script;
}

static bool boot(const InputScript& script, const GfxBackend* gfx) {
    HeadlessOptions options = scriptRunOptions(script, TOLLI_GAME_DATA_DIR);
    options.gfx = gfx;
    char error[1200];
    if (!headlessBoot(options, error, sizeof error)) {
        fprintf(stderr, "bench: %s\n", error);
        return false;
    }
    return gHeadlessRun.startup == STARTUP_OK;
}

static void BM_RunTicksIdleTitle(benchmark::State& state) {
    const AudioBackend* audio = gAudioBackend;
    InputScript script = scriptOf("ticks 100000000\n");
    if (!boot(script, deviceOf(state))) state.SkipWithError("the game did not boot");
    for (auto _ : state) {
        headlessRunTicks(1);
        benchmark::DoNotOptimize(gUpdateCount);
    }
    state.counters["ticks/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    headlessShutdown();
    gAudioBackend = audio;
}
BENCHMARK(BM_RunTicksIdleTitle)->Arg(0)->Arg(1)->UseRealTime();

// New Game is confirmed on the first tick; by tick 70 the title has flashed,
// faded out and the next scene has loaded; ten ticks run in it.
static void BM_RunTicksSceneChange(benchmark::State& state) {
    const AudioBackend* audio = gAudioBackend;
    InputScript script = scriptOf("ticks 80\n0 confirm\n2 none\n");
    int64_t ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!boot(script, deviceOf(state))) {
            state.SkipWithError("the game did not boot");
            break;
        }
        state.ResumeTiming();
        headlessRunScript(script);
        benchmark::DoNotOptimize(gGameMode);
        state.PauseTiming();
        ticks += gUpdateCount;
        bool changed = gGameMode != GAME_MODE_TITLE && !isSceneLoading();
        headlessShutdown();
        state.ResumeTiming();
        if (!changed) {
            state.SkipWithError("the scene did not change");
            break;
        }
    }
    state.counters["ticks/s"] = benchmark::Counter((double)ticks, benchmark::Counter::kIsRate);
    gAudioBackend = audio;
}
BENCHMARK(BM_RunTicksSceneChange)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
