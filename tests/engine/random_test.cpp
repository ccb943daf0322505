// The one random sequence: the runtime's generator, its integer and unit forms.
#include <gtest/gtest.h>

#include "engine/random.h"

TEST(RandomSequence, RuntimeSequenceFromSeedOne) {
    seedRandom(1);
    EXPECT_EQ(randomInt(), 41);
    EXPECT_EQ(randomInt(), 18467);
    EXPECT_EQ(randomInt(), 6334);
}

// The state whose next step lands on next: the step is invertible because
// the multiplier is odd (its inverse found by Newton's iteration mod 2^32).
static uint32_t stateBefore(uint32_t next) {
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (next - 2531011u) * inverse;
}

struct DrawCase {
    uint32_t nextState;
    int want;
};
const DrawCase DRAW_CASES[] = {
    {0x7FFF0000u, 32767},   // bits 16..30 all set
    {0xFFFFFFFFu, 32767},   // bit 31 is never part of the result
    {0x80000000u, 0},
    {0x0001FFFFu, 1},
};

TEST(RandomSequence, ResultIsBitsSixteenToThirty) {
    for (const DrawCase& c : DRAW_CASES) {
        seedRandom(stateBefore(c.nextState));
        EXPECT_EQ(randomInt(), c.want) << std::hex << c.nextState;
        EXPECT_EQ(gRandomState, c.nextState);
    }
}

TEST(RandomUnit, LargestValueIsBelowOne) {
    seedRandom(stateBefore(0xFFFF0000u));
    float largest = randomUnit();
    EXPECT_EQ(largest, 32767.0f / 32768.0f);
    EXPECT_LT(largest, 1.0f);
    seedRandom(stateBefore(0x80000000u));
    EXPECT_EQ(randomUnit(), 0.0f);
}
