#include "tests/harness/harness.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "tests/harness/buttons.h"
#include "tests/harness/tick_observer.h"

StartupResult harnessBoot(const HarnessOptions& options) {
    HeadlessOptions headless;
    headless.gameDir = options.gameDir;
    headless.dataDir = options.dataDir;
    headless.seed = options.seed;
    headless.frameSkip = options.frameSkip;
    headless.gfx = options.gfx;
    headless.audio = options.audio;
    headless.screenWidth = options.screenWidth;
    headless.screenHeight = options.screenHeight;
    headless.windowFails = options.windowFails;
    headless.waitForLoaders = options.waitForLoaders;
    char error[1200];
    if (!headlessBoot(headless, error, sizeof error)) {
        fprintf(stderr, "harness: %s\n", error);
        abort();
    }
    return gHarness.startup;
}

void harnessHoldButtons(uint16_t buttons) { headlessHoldButtons(buttons); }

static void (*sFrameObserver)() = nullptr;

static void observeFrame(void*) {
    if (sFrameObserver) sFrameObserver();
}

void harnessObserveFrames(void (*observer)()) { sFrameObserver = observer; }

void harnessRunTicks(int32_t n, const InputScriptStep* script, int32_t steps) {
    headlessRunTicks(n, script, steps, observeFrame, nullptr);
}

int32_t harnessRunTicksWhile(bool (*busy)(), int32_t limit) {
    for (int32_t ticks = 0; ticks < limit; ++ticks) {
        if (!busy()) return ticks;
        harnessRunTicks(1);
        if (isLoaderThreadRunning()) std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return busy() ? -1 : limit;
}

void harnessPumpEvents() { headlessPumpEvents(); }

void harnessPostEvent(int32_t kind, int32_t a, int32_t b) { headlessPostEvent(kind, a, b); }

bool harnessReadFrame(uint32_t* argb, int32_t width, int32_t height) {
    return headlessReadFrame(argb, width, height);
}

int32_t harnessShutdown() { return headlessShutdown(); }

int32_t harnessPlayScenesThrough(int32_t quietTicks, int32_t limit) {
    int32_t quiet = 0;
    for (int32_t ticks = 0; ticks < limit;) {
        if (gEventReady != 0) {
            // A press is an edge: hold confirm for a tick, then let go.
            tapButtons(BUTTON_CONFIRM);
            ticks += 2;
            quiet = 0;
            continue;
        }
        if (quiet >= quietTicks) return ticks;
        holdButtons(0, 1);
        ++ticks;
        ++quiet;
    }
    return -1;
}
