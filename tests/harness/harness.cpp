#include "tests/harness/harness.h"

#include <cstdio>
#include <cstdlib>

StartupResult harnessBoot(const HarnessOptions& options) {
    HeadlessOptions headless;
    headless.gameDir = options.gameDir;
    headless.dataDir = options.dataDir;
    headless.seed = options.seed;
    headless.frameSkip = options.frameSkip;
    headless.gfx = options.gfx;
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

void harnessRunTicks(int32_t n, const InputScriptStep* script, int32_t steps) { headlessRunTicks(n, script, steps); }

void harnessPumpEvents() { headlessPumpEvents(); }

void harnessPostEvent(int32_t kind, int32_t a, int32_t b) { headlessPostEvent(kind, a, b); }

bool harnessReadFrame(uint32_t* argb, int32_t width, int32_t height) {
    return headlessReadFrame(argb, width, height);
}

int32_t harnessShutdown() { return headlessShutdown(); }
