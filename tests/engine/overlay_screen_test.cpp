// The overlay screens' effects: how opaque the afterimage and the transition
// are at each step. The screens in the running game are tested on the booted
// game (tests/game/overlay_screen_test.cpp).
#include "engine/overlay_screen.h"

#include <gtest/gtest.h>

TEST(OverlayEffects, AfterimageOpacityPulses) {
    struct Case {
        int32_t step, length, alpha;
    };
    const Case CASES[] = {
        {1, 32, 236},    // 200 sin(pi/32) = 19.6
        {8, 32, 114},    // 141.4
        {16, 32, 55},    // the middle: 200 below opaque
        {31, 32, 236},
        {5, 10, 55},
        {1, 3, 82},      // 173.2
    };
    for (const Case& c : CASES)
        EXPECT_EQ(afterimageAlpha(c.step, c.length), c.alpha) << "step " << c.step << " of " << c.length;
}

TEST(OverlayEffects, TransitionOpacityRisesThenFallsWhileClosing) {
    const int32_t WANT[20] = {0, 0, 0, 66, 88, 110, 132, 154, 176, 198, 220, 242, 255, 223, 191, 159, 127, 95, 63, 31};
    for (int32_t c = 3; c < 20; ++c) EXPECT_EQ(transitionAlpha(c), WANT[c]) << "counter " << c;
}
