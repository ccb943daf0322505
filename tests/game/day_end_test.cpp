// The end of a shop day through the real frame loop: after the scripted
// day the results overlay opens over the shop, its loader's end opens the
// report, the report counts up and draws on the sample pictures, and a
// confirm ends the day: the next morning's counters, the orders one day
// nearer and the shop back in view.
#include <gtest/gtest.h>

#include "adventurers/adventurers.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

TEST(DayReportWholeGame, TheReportEndsTheDayAndTheShopComesBack) {
    HarnessOptions options;
    options.seed = 20240611;
    ASSERT_TRUE(harnessOpenShopDay(options));
    int32_t ticks = 0;
    while (!shopDayClosed() && ticks < SHOP_DAY_MAX_TICKS) {
        holdButtons(shopDayButtons(ticks), 1);
        ticks++;
    }
    ASSERT_TRUE(shopDayClosed());
    GameState& game = runningGameState();
    game.orders[3] = OrderRecord{1, 0, 2, 4, 0, 2};
    const int32_t date = game.date;
    const int32_t total = game.totalScore + game.dayScore;
    const int32_t boxes = gHeadlessMessageBoxes.total;

    openResultsScreen();
    harnessRunTicks(20);
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY);
    EXPECT_EQ(game.totalScore, total) << "the report has opened";
    EXPECT_EQ(gDayReport.profit, game.money - game.dayStartMoney);

    // The player confirms every other tick until the shop is back.
    int32_t reportTicks = 0;
    while (gGameMode == GAME_MODE_OVERLAY && reportTicks < 2000) {
        holdButtons(reportTicks % 2 ? BUTTON_CONFIRM : 0, 1);
        reportTicks++;
    }
    ASSERT_EQ(gGameMode, GAME_MODE_FIELD) << "after " << reportTicks << " ticks";
    EXPECT_GT(reportTicks, 131) << "the report waits for its rank before a confirm ends it";
    EXPECT_EQ(game.date, date + 1);
    EXPECT_EQ(game.dayPhase, 0);
    EXPECT_EQ(game.dayStartMoney, game.money);
    EXPECT_EQ(game.dayScore, 0);
    EXPECT_EQ(game.dayLogCounts[0], 0);
    EXPECT_EQ(game.orders[3].daysLeft, 1);
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxes) << "no file was missing";
    harnessShutdown();
}
