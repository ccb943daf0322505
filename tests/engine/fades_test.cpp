// Screen fades: the counter, its end ticks and the cover's alpha.
#include <gtest/gtest.h>

#include <vector>

#include "engine/fades.h"

static void resetFade() {
    gFadeState = gFadeCounter = gFadeKind = gFadeLength = 0;
}

TEST(FadeCounter, FadeOutIsDoneOnExactlyOneTickThenHolds) {
    startFadeOut(0, 17);
    std::vector<int32_t> doneAt;
    for (int32_t tick = 1; tick <= 30; ++tick) {
        if (isFadeOutDone()) doneAt.push_back(gFadeCounter);
        stepTransition();
    }
    EXPECT_EQ(doneAt, std::vector<int32_t>{17});
    EXPECT_EQ(gFadeCounter, 18);   // held, the screen stays covered
    EXPECT_EQ(gFadeState, 1);
    startFadeOut(0, 17);            // a new fade-out counts afresh
    EXPECT_EQ(gFadeCounter, 1);
    EXPECT_FALSE(isFadeOutDone());
    resetFade();
}

TEST(FadeCounter, FadeInEndsOnTheTickItWouldPassItsLength) {
    startFadeIn(0, 17);
    int32_t steps = 0;
    while (gFadeState == -1 && steps < 100) {
        EXPECT_EQ(isFadeInDone(), gFadeCounter == 17) << gFadeCounter;
        stepTransition();
        ++steps;
    }
    EXPECT_EQ(steps, 18);
    EXPECT_EQ(gFadeCounter, 0);
    EXPECT_TRUE(isFadeInDone());
    resetFade();
}

TEST(FadeCounter, KindTwoEndsAtItsOwnTicksWhateverTheLength) {
    struct Case { int32_t length; bool fadeOut; int32_t doneAt; };
    const Case CASES[] = {
        {40, true, 31}, {17, true, 31}, {3, true, 31},   // short ones count on to 31
        {40, false, 30},
    };
    for (const Case& c : CASES) {
        if (c.fadeOut) startFadeOut(2, c.length);
        else startFadeIn(2, c.length);
        int32_t doneAt = -1;
        for (int32_t tick = 0; tick < 60 && doneAt < 0; ++tick) {
            if (c.fadeOut ? isFadeOutDone() : (gFadeState == -1 && isFadeInDone())) doneAt = gFadeCounter;
            stepTransition();
        }
        EXPECT_EQ(doneAt, c.doneAt) << c.length << (c.fadeOut ? " out" : " in");
    }
    // A short kind-2 fade-in still ends.
    startFadeIn(2, 17);
    for (int32_t tick = 0; tick < 18; ++tick) stepTransition();
    EXPECT_EQ(gFadeState, 0);
    EXPECT_TRUE(isFadeInDone());
    resetFade();
}

TEST(FadeAlpha, FollowsTheCoverFormulaAndNeverDividesByZero) {
    struct Case { int32_t state, length, counter, alpha; };
    const Case CASES[] = {
        {1, 17, 1, 17},     // 256 / 15 = 17.07
        {1, 17, 8, 136},    // 136.53
        {1, 17, 14, 238},
        {1, 17, 15, 255},   // 256, clamped
        {1, 17, 18, 255},
        {-1, 17, 0, 0},     // no cover at counter 0
        {-1, 17, 1, 255},   // 272, clamped
        {-1, 17, 2, 255},
        {-1, 17, 10, 118},  // 255 - 136.53
        {-1, 17, 16, 16},   // 255 - 238.93
        {-1, 17, 17, 0},    // -1, clamped
        {1, 3, 1, 255},     // the quick cut covers at once
        {1, 2, 1, 255},     // two ticks or fewer: covered, no division by zero
        {1, 0, 1, 255},
        {-1, 2, 1, 255},
    };
    for (const Case& c : CASES) {
        gFadeState = c.state;
        gFadeLength = c.length;
        gFadeCounter = c.counter;
        EXPECT_EQ(fadeOverlayAlpha(), c.alpha) << c.state << " " << c.length << " " << c.counter;
    }
    resetFade();
}
