// A whole shop day on the booted game (tests/harness/shop_day.h): the phase
// runs its visits through the real frame loop, the counter's speech marked
// done by its drawing, and closes; money, storage and shelves afterwards
// agree with the deals the counter closed and the day's logs.
#include <gtest/gtest.h>

#include <vector>

#include "adventurers/adventurers.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

namespace {

struct Deal {
    int32_t mode;
    int32_t price;
    int32_t key;
};

int32_t shelvedItems(const GameState& game) {
    int32_t n = 0;
    for (const auto& shelf : game.shelves) {
        for (int32_t key : shelf) n += key != ITEM_KEY_NONE;
    }
    return n;
}

}  // namespace

TEST(CounterScriptedDay, MoneyAndStorageFollowTheLoggedDeals) {
    HarnessOptions options;
    options.seed = 20240613;
    ASSERT_TRUE(harnessOpenShopDay(options));
    GameState& game = runningGameState();
    const int32_t money = game.money;
    const int32_t stored = countStoredItems();
    const int32_t shelved = shelvedItems(game);
    const int32_t phase = game.dayPhase;
    ASSERT_GT(gDayPlan.visitPlanCount, 0);

    std::vector<Deal> deals;
    int32_t ticks = 0;
    while (!shopDayClosed() && ticks < SHOP_DAY_MAX_TICKS) {
        int32_t before = gCounter.state;
        holdButtons(dealingButtons(ticks), 1);
        ticks++;
        if (before == COUNTER_DEAL && gCounter.state == COUNTER_THANKS)
            deals.push_back(Deal{gCounter.mode, gCounter.counterPrice, gCounter.itemKey});
    }
    ASSERT_TRUE(shopDayClosed()) << "the phase did not close in " << ticks << " ticks";
    EXPECT_EQ(game.dayPhase, phase + 1);
    EXPECT_GE(gCounter.visitsDone, gDayPlan.visitPlanCount + 1);
    EXPECT_GT(ticks, COUNTER_CLOSING_MIN_TICKS);

    int32_t expectMoney = money;
    int32_t sold = 0, bought = 0;
    for (const Deal& d : deals) {
        if (d.mode == COUNTER_SELLER) {
            expectMoney -= d.price;
            bought++;
        } else {
            expectMoney += d.price;
            sold++;
        }
    }
    EXPECT_GT(deals.size(), 0u) << "a seeded day closes deals";
    EXPECT_EQ(game.money, expectMoney);
    EXPECT_EQ(game.dayLogCounts[0], sold);
    EXPECT_EQ(game.dayLogCounts[1], bought);
    EXPECT_EQ(countStoredItems(), stored + bought);
    EXPECT_EQ(shelvedItems(game), shelved - sold);
    for (int32_t i = 0; i < sold; i++) EXPECT_NE(game.dayLogs[0][i], ITEM_KEY_NONE);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    harnessShutdown();
}
