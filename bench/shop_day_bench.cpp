// The ticks of a scripted shop day (tests/harness/shop_day.h), headless:
// the counter's update alone, and whole ticks through the real frame loop
// with their frames drawn, on the OpenGL device (argument 0) or the
// recording device that draws nothing (argument 1). Each iteration runs one
// day from its opening to its close; the boot and the opening are not
// timed. Reported per tick and as a share of the 1/60 s tick budget.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "platform/audio.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

using BenchClock = std::chrono::steady_clock;
constexpr double TICK_BUDGET_SECONDS = 1.0 / 60.0;

static bool openDay(const GfxBackend* gfx) {
    HarnessOptions options;
    options.seed = 20240611;
    options.gfx = gfx;
    return harnessOpenShopDay(options);
}

static void report(benchmark::State& state, double seconds, int64_t ticks) {
    if (ticks == 0) return;
    double perTick = seconds / static_cast<double>(ticks);
    state.counters["ticks/day"] = benchmark::Counter(static_cast<double>(ticks) / state.iterations());
    state.counters["us/tick"] = benchmark::Counter(perTick * 1e6);
    state.counters["budget"] = benchmark::Counter(perTick / TICK_BUDGET_SECONDS);
}

// The counter's update by itself: the loader poll, the fades and the speech
// text's drawing that the counter needs run between the timed updates.
static void BM_ShopDayUpdateAlone(benchmark::State& state) {
    const AudioBackend* audio = gAudioBackend;
    double seconds = 0.0;
    int64_t ticks = 0;
    for (auto _ : state) {
        if (!openDay(&GFX_RECORDING)) {
            state.SkipWithError("the shop did not open");
            break;
        }
        double daySeconds = 0.0;
        uint16_t held = 0;
        for (int32_t t = 0; !shopDayClosed() && t < SHOP_DAY_MAX_TICKS; t++) {
            uint16_t buttons = shopDayButtons(t);
            gInputState[0].pressed = gInputState[0].repeat = buttons & ~held;
            held = buttons;
            pollLoaderThread();
            BenchClock::time_point start = BenchClock::now();
            updateShopDay();
            daySeconds += std::chrono::duration<double>(BenchClock::now() - start).count();
            benchmark::DoNotOptimize(gCounter.state);
            stepTransition();
            drawCounterWindow();
            ticks++;
        }
        state.SetIterationTime(daySeconds);
        seconds += daySeconds;
        harnessShutdown();
    }
    report(state, seconds, ticks);
    gAudioBackend = audio;
}
BENCHMARK(BM_ShopDayUpdateAlone)->UseManualTime()->Unit(benchmark::kMillisecond);

// Whole ticks of the day with their frames.
static void BM_ShopDayTicksWithDrawing(benchmark::State& state) {
    const AudioBackend* audio = gAudioBackend;
    double seconds = 0.0;
    int64_t ticks = 0;
    for (auto _ : state) {
        if (!openDay(state.range(0) == 0 ? &GFX_HEADLESS : &GFX_RECORDING)) {
            state.SkipWithError("the shop did not open");
            break;
        }
        BenchClock::time_point start = BenchClock::now();
        int32_t t = 0;
        for (; !shopDayClosed() && t < SHOP_DAY_MAX_TICKS; t++) {
            InputScriptStep step{gUpdateCount, shopDayButtons(t)};
            harnessRunTicks(1, &step, 1);
        }
        double daySeconds = std::chrono::duration<double>(BenchClock::now() - start).count();
        state.SetIterationTime(daySeconds);
        seconds += daySeconds;
        ticks += t;
        harnessShutdown();
    }
    report(state, seconds, ticks);
    gAudioBackend = audio;
}
BENCHMARK(BM_ShopDayTicksWithDrawing)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
