// Advance orders: a placement kept in a free record (and refused when none
// is free), the count-down to the day the order is due and its planning,
// the complaint of a missed one, and the pickup's slots filled from the
// shelves and storage and given back. The counter's handlers are driven
// with pressed buttons, standing in for the drawing where a page shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "economy_fixture.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/story_flags.h"
#include "shop/item_list.h"
#include "shop/negotiation.h"
#include "shop/orders.h"
#include "shop/storage.h"

namespace {

const char ITEMS[] =
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#90#30#0#0#0#Food Swtt Sobr###t\n";

constexpr int32_t BREAD = 4001;
constexpr int32_t TART = 4002;
constexpr int32_t FOOD = 40;
constexpr int32_t VISITOR = 21;
constexpr int32_t ROW = 3;

class OrdersTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        for (int32_t type : {0, VISITOR}) {
            CustomerType& t = gCustomerTypes[type];
            t.present = 1;
            t.activeTimes = ACTIVE_MORNING | ACTIVE_NOON | ACTIVE_EVENING | ACTIVE_NIGHT;
            t.likedCount = 1;
            t.likedCategories[0] = FOOD;
            for (int32_t kind = 0; kind < CUSTOMER_LINE_KINDS; kind++) {
                t.lineVariantCount[kind] = 1;
                snprintf(t.lineTexts[kind][0], CUSTOMER_LINE_SIZE, "Line %d of %d.", kind, type);
                t.lineVoices[kind][0] = CUSTOMER_NO_VOICE;
            }
            t.budgetMin = t.budgetMax = 1000;
        }
        gOrderRequestCount = ROW + 1;
        gRequestRows[ROW].category = FOOD;
        snprintf(gRequestRows[ROW].orderName, REQUEST_NAME_SIZE, "picnic food");
        gCounter.shopOpening = 1;
        gCounter.customerType = VISITOR;
        gCounter.customerIndex = 2;
        gCounter.requestRow = ROW;
        gCounter.slide = COUNTER_SLIDE_IN;
        resetItemListState();
        press(0);
    }
    void TearDown() override {
        press(0);
        closeLoaderThread();
        resetLoaderState();
        resetItemListState();
        EconomyTest::TearDown();
    }
    static void enter(int32_t mode, int32_t state) {
        gCounter.mode = mode;
        gCounter.state = state;
        gCounter.stateFrame = 0;
    }
    static void handle(uint16_t buttons = 0) {
        press(buttons);
        stepItemListSlide();
        switch (gCounter.mode) {
        case COUNTER_ORDER_PLACEMENT: updateOrderPlacement(); break;
        case COUNTER_ORDER_PICKUP: updateOrderPickup(); break;
        default: updateOrderOverdue(); break;
        }
        press(0);
    }
    static void answer() {
        gCounter.speechDone = 1;
        handle(COUNTER_CONFIRM);
    }
    static std::string spoken() { return gCounter.speechText; }
    // The placement's prompt has come up and "Accept Order" was confirmed.
    static void acceptOrder() {
        enter(COUNTER_ORDER_PLACEMENT, COUNTER_CHOICE);
        for (int32_t i = 0; i < 15; i++) handle();
        handle(COUNTER_CONFIRM);
        for (int32_t i = 0; i < 15 && gCounter.state == COUNTER_CHOICE; i++) handle();
    }
    static int32_t activeOrders() {
        int32_t n = 0;
        for (const OrderRecord& order : game().orders) n += order.active != 0;
        return n;
    }
};

}  // namespace

// --- placement -----------------------------------------------------------------------

TEST_F(OrdersTest, AnAcceptedOrderIsKeptInTheFirstFreeRecord) {
    game().orders[0] = OrderRecord{1, 0, 1, 9, VISITOR, 2};
    gCounter.orderQuantity = 4;
    gCounter.orderDays = 2;
    enter(COUNTER_ORDER_PLACEMENT, COUNTER_OPENING);
    handle();
    EXPECT_EQ(gCounter.state, COUNTER_DEAL);
    handle();
    EXPECT_EQ(std::string(gCounter.requestText), "picnic food");
    EXPECT_EQ(spoken(), "Line 15 of 21.");
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_CHOICE);
    EXPECT_EQ(spoken(), "Line 13 of 0.") << "the shopkeeper asks";
    acceptOrder();
    EXPECT_EQ(gCounter.state, COUNTER_THANKS);
    const OrderRecord& order = game().orders[1];
    EXPECT_EQ(order.active, 1);
    EXPECT_EQ(order.requestRow, ROW);
    EXPECT_EQ(order.daysLeft, 2);
    EXPECT_EQ(order.customerIndex, 2);
    EXPECT_EQ(order.customerType, VISITOR);
    EXPECT_EQ(order.quantity, 4);
}

TEST_F(OrdersTest, AnOrderWithNoFreeRecordIsRefusedBeforeTheThanks) {
    for (OrderRecord& order : game().orders) order = OrderRecord{1, 0, 3, 9, VISITOR, 2};
    const GameState before = game();
    acceptOrder();
    EXPECT_EQ(gCounter.state, COUNTER_NO_FIT) << "refused, not thanked";
    EXPECT_EQ(memcmp(before.orders, game().orders, sizeof before.orders), 0) << "no record was overwritten";
    handle();
    EXPECT_EQ(spoken(), "Line 17 of 21.") << "the customer's reply to a refusal";
    answer();
    handle();
    EXPECT_EQ(spoken(), "Line 12 of 0.");
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_AFTER_LEAVING);
}

TEST_F(OrdersTest, NoPlacementIsPlannedWhileEveryRecordRuns) {
    game().storyFlags[FLAG_ORDER_DAY] = 1;   // two placements on an ordinary day
    game().date = 10;
    auto placements = [] {
        int32_t n = 0;
        for (int32_t r = 0; r < gDayPlan.visitPlanCount; r++) n += gDayPlan.visitPlan[r].kind == VISIT_ORDER_PLACE;
        return n;
    };
    for (OrderRecord& order : game().orders) order = OrderRecord{1, ROW, 3, 90, VISITOR, 2};
    for (uint32_t seed = 1; seed <= 20; seed++) {
        seedRandom(seed);
        beginShopDay();
        EXPECT_EQ(placements(), 0) << "seed " << seed;
    }
    game().orders[4].active = 0;   // one free record: one placement at most
    int32_t most = 0;
    for (uint32_t seed = 1; seed <= 20; seed++) {
        seedRandom(seed);
        beginShopDay();
        most = std::max(most, placements());
    }
    EXPECT_EQ(most, 1);
}

// --- due dates ---------------------------------------------------------------------------

TEST_F(OrdersTest, ATwoDayOrderIsDueAtTheSecondDayEndAndPlannedInItsFirstPhase) {
    seedRandom(2);
    beginShopDay();   // the candidate rows, to know a customer index
    const int32_t index = 4;
    game().orders[0] = OrderRecord{1, ROW, 2, index, static_cast<int16_t>(gDayPlan.dayCandidates[index].customerType), 3};
    auto dueVisits = [] {
        int32_t n = 0;
        for (int32_t r = 0; r < gDayPlan.visitPlanCount; r++) n += gDayPlan.visitPlan[r].kind == VISIT_ORDER_DUE;
        return n;
    };
    countDownOrders(game());   // the first day ends
    EXPECT_EQ(game().orders[0].daysLeft, 1);
    beginShopDay();
    EXPECT_EQ(dueVisits(), 0) << "not due the day after";
    countDownOrders(game());   // the second day ends
    EXPECT_EQ(game().orders[0].daysLeft, 0);
    beginShopDay();   // the first open phase of the due day
    EXPECT_EQ(dueVisits(), 1);
    EXPECT_EQ(game().orders[0].active, 0) << "closed once planned";
    beginShopDay();   // the next phase
    EXPECT_EQ(dueVisits(), 0);
    countDownOrders(game());
    EXPECT_EQ(game().orders[0].daysLeft, 0) << "a closed record stops counting";
}

TEST_F(OrdersTest, AMissedDueDayComesBackAsAComplaint) {
    seedRandom(2);
    beginShopDay();
    const int32_t index = 4;
    game().orders[0] = OrderRecord{1, ROW, 0, index, VISITOR, 2};
    countDownOrders(game());   // the due day passed without an open phase
    beginShopDay();
    ASSERT_GE(gDayPlan.visitPlanCount, 1);
    EXPECT_EQ(gDayPlan.visitPlan[0].kind, VISIT_ORDER_OVERDUE);
    EXPECT_EQ(game().orders[0].active, 0);
    // At the counter: the complaint, then the customer leaves; nothing moves.
    game().money = 500;
    enter(COUNTER_ORDER_OVERDUE, COUNTER_OPENING);
    handle();
    handle();
    EXPECT_EQ(spoken(), "Line 18 of 21.");
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_LEAVES);
    EXPECT_EQ(game().money, 500);
}

// --- pickup --------------------------------------------------------------------------------

class OrderPickupTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        gCounter.orderQuantity = 2;
        game().shelves[3][4] = itemKey(BREAD);
        addItemToStorage(itemKey(TART));
        addItemToStorage(itemKey(TART, 2));
        enter(COUNTER_ORDER_PICKUP, COUNTER_OPENING);
        handle();
        answer();
        EXPECT_EQ(gCounter.state, COUNTER_PICK_ITEM);
        EXPECT_EQ(gCounter.sidePanelMode, 1);
        // The list the panels would open, beside the slots.
        openItemList(ITEM_LIST_DELIVERY, 1);
        gCounter.listOpenPending = 0;
        for (int32_t i = 0; i < 25; i++) handle();   // the pointer's hold on the slot row
    }
    // Confirm on the slot under the cursor, pick the key in the list.
    static void fillSlot(int32_t key) {
        handle(COUNTER_CONFIRM);
        ASSERT_EQ(gCounter.orderListOpen, 1);
        for (int32_t i = 0; i < ITEM_LIST_SLIDE_TICKS; i++) handle();
        moveListCursorToItem(key);
        ASSERT_EQ(getSelectedListItemKey(), key);
        handle(COUNTER_CONFIRM);
        for (int32_t i = 0; i < ITEM_LIST_FLASH_TICKS + 1 && gCounter.orderListOpen; i++) handle();
        ASSERT_EQ(gCounter.orderListOpen, 0);
    }
};

TEST_F(OrderPickupTest, ReplacingASlotItemPutsTheOldOneBackOnItsPlace) {
    fillSlot(itemKey(BREAD));
    EXPECT_EQ(gCounter.orderSlots[0].key, itemKey(BREAD));
    EXPECT_EQ(game().shelves[3][4], ITEM_KEY_NONE) << "taken off its shelf place";
    fillSlot(itemKey(TART));
    EXPECT_EQ(gCounter.orderSlots[0].key, itemKey(TART));
    EXPECT_EQ(game().shelves[3][4], itemKey(BREAD)) << "back on its own place";
    EXPECT_EQ(countItemInStorage(TART), 1) << "the tart left storage";
    EXPECT_EQ(countItemInStorage(BREAD), 0) << "the bread did not go to storage";
}

TEST_F(OrderPickupTest, TooFewItemsEndThePickupWithTheItemsReturned) {
    fillSlot(itemKey(BREAD));
    handle(COUNTER_UP);   // to "All set!"
    EXPECT_EQ(gCounter.orderCursor, 0);
    handle(COUNTER_CONFIRM);
    EXPECT_EQ(gCounter.state, COUNTER_NOTHING);
    EXPECT_EQ(game().shelves[3][4], itemKey(BREAD));
    EXPECT_EQ(gCounter.orderSlots[0].key, ITEM_KEY_NONE);
}

TEST_F(OrderPickupTest, AFilledOrderIsPricedAndSoldWithEveryItemLogged) {
    fillSlot(itemKey(BREAD));
    handle(COUNTER_DOWN);
    fillSlot(itemKey(TART, 2));
    handle(COUNTER_UP);
    handle(COUNTER_UP);
    handle(COUNTER_CONFIRM);
    ASSERT_EQ(gCounter.state, COUNTER_OFFER_ITEM);
    handle();
    EXPECT_EQ(gCounter.sidePanelMode, 2);
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_ASK_PRICE);
    EXPECT_EQ(gCounter.basePrice, 10 + 90) << "the base prices of the fitting items";
    EXPECT_EQ(std::string(gCounter.itemText), "picnic food");
    game().money = 0;
    gCounter.counterPrice = 120;
    enter(COUNTER_ORDER_PICKUP, COUNTER_DEAL);
    handle();
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_THANKS);
    EXPECT_EQ(game().money, 120);
    EXPECT_EQ(game().dayLogCounts[0], 2);
    EXPECT_EQ(game().dayLogs[0][0], itemKey(BREAD));
    EXPECT_EQ(game().dayLogs[0][1], itemKey(TART, 2));
    EXPECT_EQ(game().shelves[3][4], ITEM_KEY_NONE) << "sold, not returned";
    EXPECT_EQ(countItemInStorage(TART), 1);
    EXPECT_EQ(orderSlotPlusLevels(), 0) << "the slots are emptied by the sale";
}

TEST_F(OrderPickupTest, APriceOverTheBudgetTimesTheQuantityCostsAPoint) {
    fillSlot(itemKey(BREAD));
    handle(COUNTER_DOWN);
    fillSlot(itemKey(TART));
    game().customerRelations[2].points = 5;
    gCounter.offer = 5000;
    gCounter.limit = 9000;
    gCounter.counterPrice = 2401;   // 1.2 x 1000 x 2 = 2400
    enter(COUNTER_ORDER_PICKUP, COUNTER_CHOICE);
    gCounter.choiceTimer = 14;
    handle();
    EXPECT_EQ(gCounter.state, COUNTER_OVER_BUDGET);
    EXPECT_EQ(game().customerRelations[2].points, 4);
    // The customer gives up on its last round: the items go back.
    gCounter.round = getCustomerAttitude();
    enter(COUNTER_ORDER_PICKUP, COUNTER_OVER_BUDGET);
    handle();
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_LEAVES);
    EXPECT_EQ(game().shelves[3][4], itemKey(BREAD));
    EXPECT_EQ(countItemInStorage(TART), 2);
}
