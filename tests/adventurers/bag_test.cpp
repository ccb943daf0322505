// The bag's usable entries by merchant level.
#include "adventurers/bag.h"

#include <gtest/gtest.h>

TEST(Bag, CapacityFollowsTheMerchantLevel) {
    const int32_t CASES[][2] = {
        {0, 20}, {15, 20}, {16, 25}, {22, 25}, {23, 30}, {38, 30}, {39, 35}, {98, 35},
        {-5, 20},   // a damaged level carries the least
    };
    for (const auto& c : CASES) EXPECT_EQ(bagCapacityForLevel(c[0]), c[1]) << "level " << c[0];
}
