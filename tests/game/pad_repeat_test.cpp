// The pad's repeat as the game's own ticks read it: a button held on the
// scripted keyboard from the first tick is pressed once, then repeats after
// thirteen ticks and every five after that.
#include <gtest/gtest.h>

#include <vector>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "game/startup.h"
#include "tests/harness/harness.h"

TEST(InputThroughHarness, HeldFromTickZeroPressedOnceRepeatsAfterThirteenThenEveryFive) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    ASSERT_EQ(gTickCounter, 0);
    const InputScriptStep SCRIPT[] = {{0, BUTTON_LEFT}};
    std::vector<int32_t> repeats, presses;
    for (int32_t tick = 0; tick < 26; ++tick) {
        harnessRunTicks(1, SCRIPT, 1);
        ASSERT_EQ(gTickCounter, tick + 1);
        if (gInputState[0].repeat & BUTTON_LEFT) repeats.push_back(tick);
        if (gInputState[0].pressed & BUTTON_LEFT) presses.push_back(tick);
    }
    harnessShutdown();
    EXPECT_EQ(repeats, (std::vector<int32_t>{0, 13, 18, 23}));
    EXPECT_EQ(presses, (std::vector<int32_t>{0}));
}
