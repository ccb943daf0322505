// The end of day: the quota of every week, the report's points and rank,
// the week's payment and where it leads, and the item choice after a run
// with the day's score it adds. The report and the choice run through
// their own update over the running game, with buttons pressed per tick.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "economy_fixture.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "shop/day_end.h"
#include "shop/item_list.h"
#include "shop/storage.h"

// --- the quota ---------------------------------------------------------------------------

struct QuotaCase {
    int32_t playMode;
    int32_t date;
    int32_t want;
};

// Story play by the week's last day (the payment day), survival by the week.
const QuotaCase QUOTA_CASES[] = {
    {PLAY_MODE_STORY, 0, 10000},         // day 0 pays on day 7
    {PLAY_MODE_STORY, 1, 10000},         {PLAY_MODE_STORY, 7, 10000},
    {PLAY_MODE_STORY, 8, 30000},         {PLAY_MODE_STORY, 14, 30000},
    {PLAY_MODE_STORY, 15, 80000},        {PLAY_MODE_STORY, 21, 80000},
    {PLAY_MODE_STORY, 22, 200000},       {PLAY_MODE_STORY, 28, 200000},
    {PLAY_MODE_STORY, 29, 500000},       {PLAY_MODE_STORY, 35, 500000},
    {PLAY_MODE_NEW_GAME_PLUS, 3, 10000}, {PLAY_MODE_NEW_GAME_PLUS, 30, 500000},
    {PLAY_MODE_SURVIVAL, 0, 20000},      {PLAY_MODE_SURVIVAL, 6, 20000},
    {PLAY_MODE_SURVIVAL, 7, 80000},      {PLAY_MODE_SURVIVAL, 14, 200000},
    {PLAY_MODE_SURVIVAL, 21, 500000},    {PLAY_MODE_SURVIVAL, 28, 1000000},
    {PLAY_MODE_SURVIVAL, 35, 2000000},   {PLAY_MODE_SURVIVAL, 42, 3000000},
    {PLAY_MODE_SURVIVAL, 49, 4000000},   {PLAY_MODE_SURVIVAL, 76, 7000000},
};

class QuotaTest : public EconomyTest {};

TEST_F(QuotaTest, EveryWeekOwesItsOwnQuota) {
    for (const QuotaCase& c : QUOTA_CASES) {
        game().playMode = c.playMode;
        game().date = c.date;
        game().storyFlags[14] = 0;
        EXPECT_EQ(getQuota(), c.want) << "play " << c.playMode << " date " << c.date;
        game().storyFlags[14] = 1;
        EXPECT_EQ(getQuota(), c.want / 100) << "flag 14, play " << c.playMode << " date " << c.date;
    }
}

TEST_F(QuotaTest, TheWeeksLastDayDecidesInStoryPlay) {
    EXPECT_EQ(quotaFor(PLAY_MODE_STORY, 0, 0, false), 300) << "a last day of 0";
    EXPECT_EQ(quotaFor(PLAY_MODE_STORY, 5, 8, false), 10000);
    EXPECT_EQ(quotaFor(PLAY_MODE_STORY, 5, 9, false), 30000);
    EXPECT_EQ(quotaFor(PLAY_MODE_STORY, 5, 30, false), 500000);
    EXPECT_EQ(quotaFor(PLAY_MODE_STORY, 5, 300, true), 5000);
    game().date = 8;
    getQuota();
    EXPECT_EQ(game().weekEndDay, 14) << "the payment day is kept in the game";
}

// --- points and rank ---------------------------------------------------------------------

struct PointsCase {
    int32_t profit, quota, sold, bought, found;
    int32_t points, rank;
};

const PointsCase POINTS_CASES[] = {
    {0, 10000, 3, 4, 5, 90, 0},              // 30 + 30 + 30
    {2000, 10000, 0, 0, 0, 60, 2},           // 2,000 x 100 / 3,333 = 60
    {2000, 10000, 0, 0, 1, 66, 1},
    {1000, 10000, 1, 0, 0, 40, 3},
    {1366, 10000, 0, 0, 0, 40, 3},
    {1367, 10000, 0, 0, 0, 41, 2},
    {-5000, 10000, 2, 0, 0, 20, 4},          // a loss counts as no profit
    {700, 300, 0, 0, 0, 700, 0},
    {2000000000, 300, 0, 0, 0, 2000000000, 0},   // profit x 100 needs 64 bits
    {INT32_MAX, 3, 0, 0, 0, INT32_MAX, 0},       // quota 300 under flag 14: held at the top
    {30000000, 30000, 0, 0, 0, 300000, 0},
    {100, 30000, 1, 1, 1, 24, 3},            // 1 + 10 + 7 + 6, each term truncated
};

TEST(DayReport, PointsAndRankFollowProfitQuotaAndLogs) {
    for (const PointsCase& c : POINTS_CASES) {
        int32_t points = reportPoints(c.profit, c.quota, c.sold, c.bought, c.found);
        EXPECT_EQ(points, c.points) << "profit " << c.profit << " quota " << c.quota;
        EXPECT_EQ(reportRank(points), c.rank) << "profit " << c.profit << " quota " << c.quota;
    }
    EXPECT_EQ(reportRank(81), 0);
    EXPECT_EQ(reportRank(80), 1);
    EXPECT_EQ(reportRank(61), 1);
    EXPECT_EQ(reportRank(21), 3);
    EXPECT_EQ(reportRank(20), 4);
}

// --- the report and the payment ----------------------------------------------------------------

namespace {

const char ITEMS[] =
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#900#30#0#0#0#Food Swtt Sobr###t\n";

constexpr int32_t BREAD = 4001;
constexpr int32_t TART = 4002;

class DayReportTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        resetFades();
        resetOverlayScreen();
        resetDayReportState();
        resetItemChoiceState();
        resetItemListState();
        resetBagState();
        gGameMode = GAME_MODE_OVERLAY;
        gOverlayScreen.savedMode = GAME_MODE_FIELD;
        gOverlayScreen.openCounter = OVERLAY_OPEN_COUNT;
        gOverlayScreen.kind = OVERLAY_RESULTS;
        gRun.runEndState = gRun.runEndTimer = 0;
        seedRandom(3);
        press(0);
    }
    void TearDown() override {
        closeLoaderThread();
        EconomyTest::TearDown();
    }
    // One tick: the fade moves, then the report runs.
    static void tick(void (*update)(), uint16_t buttons = 0) {
        // A scene the report starts plays out at once: its loader finishes
        // and the event ends, as a script of a single "end:" would.
        if (gEventReady) {
            waitForLoaderThread();
            pollLoaderThread();
            gEventReady = 0;
        }
        press(buttons);
        stepTransition();
        stepItemListSlide();
        update();
        press(0);
    }
    // Ticks until the condition holds, at most `limit`; false when it never did.
    static bool runUntil(void (*update)(), const std::function<bool()>& done, int32_t limit = 2000,
                         uint16_t buttons = 0) {
        for (int32_t i = 0; i < limit; i++) {
            if (done()) return true;
            tick(update, buttons);
        }
        return done();
    }
};

}  // namespace

TEST_F(DayReportTest, OpeningAddsTheScoreAndRanksTheDay) {
    game().money = 12000;
    game().dayStartMoney = 10000;
    game().dayScore = 40;
    game().totalScore = 100;
    game().date = 3;
    openDayReport();
    const DayReportState& r = gDayReport;
    EXPECT_EQ(r.quota, 10000);
    EXPECT_EQ(r.profit, 2000);
    EXPECT_EQ(r.rank, 2) << "60 points";
    EXPECT_EQ(game().totalScore, 140);
    EXPECT_EQ(r.totalBefore, 100);
    EXPECT_EQ(r.reportDay, 3);
}

TEST_F(DayReportTest, TheShopStaysInViewFromFurtherAndLower) {
    game().date = 3;
    openDayReport();
    gFieldCamera.cameraMode = CAMERA_FOLLOW;
    gFieldCamera.cameraTarget = Vector3{10.0f, 1.0f, -5.0f};
    tick(updateDayReport);
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_SCRIPTED);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraOffsets.distance, 22.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraOffsets.elevation, -17.5f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraOffsets.height, 0.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.x, 8.0f) << "a fifth of the way toward the middle";
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.z, -4.0f);
    resetFieldCamera();
}

class EffectObjectDayReport : public DayReportTest {};

// Behind the report the effect objects move on, every slot counted as live.
TEST_F(EffectObjectDayReport, EveryTickMovesThemWithAllSlotsCounted) {
    game().date = 3;
    openDayReport();
    EffectObject& o = gEffectObjects[0];
    o.kind = 1;
    o.velocity[0] = 1.0f;
    tick(updateDayReport);
    EXPECT_EQ(gWorldDraw.effectCounts.effectObjects, EFFECT_OBJECT_POOL_SIZE);
    EXPECT_FLOAT_EQ(o.position[0], 1.0f);
    EXPECT_EQ(o.frame, 1);
    resetEffects(1);
    resetFieldCamera();
}

TEST_F(DayReportTest, TheCountUpReachesProfitAndScoreWithoutPassingThem) {
    game().money = 12345;
    game().dayStartMoney = 10000;
    game().dayScore = 57;
    game().date = 3;
    openDayReport();
    int32_t lastProfit = 0;
    ASSERT_TRUE(runUntil(updateDayReport, [&] {
        EXPECT_LE(gDayReport.shownProfit, 2345);
        EXPECT_GE(gDayReport.shownProfit, lastProfit);
        lastProfit = gDayReport.shownProfit;
        return gDayReport.timer > 0;
    }));
    EXPECT_EQ(gDayReport.shownProfit, 2345);
    EXPECT_EQ(gDayReport.shownScore, 57);
    // Confirm before timer 131 does nothing; after it the day moves on.
    tick(updateDayReport, BUTTON_CONFIRM);
    EXPECT_EQ(game().date, 3);
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gDayReport.timer >= 131; }));
    tick(updateDayReport, BUTTON_CONFIRM);
    EXPECT_EQ(game().date, 4);
    EXPECT_EQ(gDayReport.paymentDay, 0) << "day 3 is no payment day";
    EXPECT_NE(gDayReport.leaving, 0);
}

TEST_F(DayReportTest, FiveThousandAgainstTenThousandPaysAllAndEndsTheLoop) {
    game().money = game().dayStartMoney = 5000;
    game().date = 7;   // the first week's payment day
    game().orders[0] = OrderRecord{1, 0, 2, 0, 0, 2};
    openDayReport();
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gDayReport.timer >= 131; }));
    tick(updateDayReport, BUTTON_CONFIRM);
    ASSERT_EQ(gDayReport.paymentDay, 1);
    EXPECT_EQ(gDayReport.paymentShort, 1);
    EXPECT_EQ(game().date, 8);
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gDayReport.payEndFrame > 0; }));
    EXPECT_EQ(game().money, 0);
    EXPECT_EQ(gDayReport.paid, 5000);
    EXPECT_EQ(gDayReport.paidShort, 1);
    // After the board has shaken, confirm leaves; the fade-out ends the day.
    ASSERT_TRUE(runUntil(
        updateDayReport, [] { return gDayReport.leaving != 0; }, 2000, BUTTON_CONFIRM));
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gGameMode != GAME_MODE_OVERLAY; }));
    EXPECT_EQ(gGameMode, GAME_MODE_GAME_OVER);
    EXPECT_EQ(gDayEndUnpaid, 1);
    EXPECT_EQ(gDayEndFinal, 0);
    EXPECT_EQ(game().orders[0].daysLeft, 1) << "the orders count down";
    EXPECT_EQ(game().dayPhase, 0);
}

TEST_F(DayReportTest, AFullPaymentKeepsTheRestAndOpensTheShop) {
    game().money = game().dayStartMoney = 45000;
    game().date = 14;   // the second week's payment day
    openDayReport();
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gDayReport.timer >= 131; }));
    tick(updateDayReport, BUTTON_CONFIRM);
    ASSERT_EQ(gDayReport.paymentDay, 1);
    EXPECT_EQ(gDayReport.paymentShort, 0);
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gDayReport.payEndFrame > 0; }));
    EXPECT_EQ(gDayReport.paid, 30000) << "the second week owes 30,000";
    EXPECT_EQ(game().money, 15000);
    EXPECT_EQ(gDayReport.paidShort, 0);
    ASSERT_TRUE(runUntil(
        updateDayReport, [] { return gDayReport.leaving != 0; }, 2000, BUTTON_CONFIRM));
    ASSERT_TRUE(runUntil(updateDayReport, [] { return gGameMode != GAME_MODE_OVERLAY; }));
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD) << "the shop opens again";
    EXPECT_EQ(gDayEndUnpaid, 0);
    EXPECT_EQ(game().date, 15);
    EXPECT_EQ(game().dayStartMoney, 15000) << "the new day counts from the money left";
}

// --- the item choice ---------------------------------------------------------------------------

TEST_F(DayReportTest, AWholeBagAfterClearingFloorNineAddsThirtyAndFifty) {
    gOverlayScreen.kind = OVERLAY_ITEM_CHOICE;
    game().dayScore = 5;
    game().dayPhase = 1;
    gRun.runEndState = 3;
    gRun.runEndTimer = 119;
    gFloorIndex = 9;
    gRun.dungeonIndex = 1;
    gBag[0] = makeItemKey(BREAD, ITEM_KEY_UNIDENTIFIED, 0);
    gBag[1] = itemKey(TART);
    gBagAtDeparture[0] = itemKey(TART);
    startItemChoice();
    EXPECT_EQ(gBag[0], itemKey(BREAD)) << "identified after a clear";
    ASSERT_TRUE(
        runUntil(updateItemChoice, [] { return gRun.runEndTimer == 150 && gItemList.slide == ITEM_LIST_SLIDE_TICKS; }));
    EXPECT_EQ(gDayReport.wholeBag, 1);
    tick(updateItemChoice, BUTTON_CANCEL);
    ASSERT_NE(gDayReport.leaving, 0);
    ASSERT_TRUE(runUntil(updateItemChoice, [] { return gGameMode != GAME_MODE_OVERLAY; }));
    EXPECT_EQ(game().dayScore, 5 + 30 + 50);
    EXPECT_EQ(countItemInStorage(BREAD), 1);
    EXPECT_EQ(countItemInStorage(TART), 1);
    EXPECT_EQ(game().dayLogCounts[2], 1) << "only the bread was found";
    EXPECT_EQ(game().dayLogs[2][0], itemKey(BREAD));
    EXPECT_EQ(gBagAtDeparture[0], ITEM_KEY_NONE);
    EXPECT_EQ(game().deepestFloors[1], 9);
    EXPECT_EQ(game().dayPhase, 2);
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_EQ(gRun.runEndState, 0);
}

TEST_F(DayReportTest, ADefeatAtLevelFortyNineKeepsChosenItemsAndGrows) {
    gOverlayScreen.kind = OVERLAY_ITEM_CHOICE;
    game().merchantLevel = 49;
    game().dayPhase = 3;
    gRun.runEndState = 1;
    gRun.runEndTimer = 119;
    gFloorIndex = 2;
    gBag[0] = makeItemKey(TART, ITEM_KEY_UNIDENTIFIED, 0);
    gBag[1] = itemKey(BREAD);
    gBag[2] = itemKey(BREAD, 1);
    startItemChoice();
    EXPECT_EQ(gBag[0], makeItemKey(TART, ITEM_KEY_UNIDENTIFIED, 0)) << "stays unidentified after a defeat";
    ASSERT_TRUE(
        runUntil(updateItemChoice, [] { return gRun.runEndTimer == 150 && gItemList.slide == ITEM_LIST_SLIDE_TICKS; }));
    EXPECT_EQ(gDayReport.wholeBag, 0);
    EXPECT_EQ(itemChoiceSlots(game().merchantLevel), 3);
    // Slot 1 takes the tart, slot 3 (up wraps past "Confirm") a bread.
    auto choose = [&](int32_t key) {
        tick(updateItemChoice, BUTTON_CONFIRM);
        ASSERT_EQ(gItemChoice.listActive, 1);
        moveListCursorToItem(key);
        ASSERT_EQ(getSelectedListItemKey(), key);
        tick(updateItemChoice, BUTTON_CONFIRM);
        ASSERT_TRUE(runUntil(updateItemChoice, [] { return gItemChoice.listActive == 0; }, 20));
    };
    tick(updateItemChoice, BUTTON_DOWN);
    EXPECT_EQ(gItemChoice.cursor, 1);
    choose(makeItemKey(TART, ITEM_KEY_UNIDENTIFIED, 0));
    tick(updateItemChoice, BUTTON_UP);
    tick(updateItemChoice, BUTTON_UP);
    EXPECT_EQ(gItemChoice.cursor, 3);
    choose(itemKey(BREAD));
    EXPECT_EQ(gItemChoice.chosenItems[0], makeItemKey(TART, ITEM_KEY_UNIDENTIFIED, 0));
    EXPECT_EQ(gItemChoice.chosenItems[2], itemKey(BREAD));
    tick(updateItemChoice, BUTTON_DOWN);
    EXPECT_EQ(gItemChoice.cursor, 0);
    tick(updateItemChoice, BUTTON_CONFIRM);
    ASSERT_TRUE(runUntil(updateItemChoice, [] { return gGameMode != GAME_MODE_OVERLAY; }));
    EXPECT_EQ(countItemInStorage(TART), 1);
    EXPECT_EQ(countItemInStorage(BREAD), 1);
    EXPECT_EQ(countStoredItems(), 2) << "the rest of the bag is lost";
    // -30 and 5 x 2 + 5 first, then a growth term per kept item in slot
    // order, each truncated in turn: -15 + 10 = -5, -5 + 3.3166 -> -1.
    float score = static_cast<float>(-30 + 15) + std::sqrt(static_cast<float>(900 / 10 + 10));
    score = static_cast<float>(static_cast<int32_t>(score)) + std::sqrt(static_cast<float>(10 / 10 + 10));
    EXPECT_EQ(game().dayScore, static_cast<int32_t>(score));
    EXPECT_EQ(game().dayScore, -1);
    EXPECT_EQ(game().dayLogCounts[2], 2) << "both kept items were found";
    EXPECT_EQ(game().dayPhase, 4);
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD) << "the shop opens after the last phase";
}
