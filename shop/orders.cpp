// The three order modes of the counter: placement (3), pickup (4) and the
// overdue complaint (5), with the pickup's slots and their way back.
#include "shop/orders.h"

#include <cstdio>

#include "shop/purchase_equipment.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/sound.h"
#include "shop/counter.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/negotiation.h"
#include "shop/request_rows.h"
#include "shop/storage.h"

constexpr float ORDER_CHOICE_POINTER_Y = 210.0f;
constexpr int32_t ORDER_CHOICE_FRAME = 15;      // the line has had time to show
constexpr float SLOT_POINTER_X = 16.0f;
constexpr float SLOT_POINTER_TOP = 140.0f;
constexpr float SLOT_ROW_HEIGHT = 38.0f;
constexpr int32_t SLOT_POINTER_HOLD = 22;       // frames the pointer is held on the row
constexpr int32_t SLOT_ROWS_SHOWN = ORDER_SLOT_COUNT + 1;
constexpr int32_t INFO_WINDOW_MODE = 1;

static uint16_t pressed() { return gInputState[0].pressed; }
static uint16_t repeated() { return gInputState[0].repeat; }

static void enterState(int32_t state) {
    gCounter.state = state;
    gCounter.stateFrame = 0;
}

static const RequestRow* orderRow() {
    int32_t row = gCounter.requestRow;
    return row >= 0 && row < REQUEST_ROW_MAX ? &gRequestRows[row] : nullptr;
}

static void setRequestTextToOrder() {
    const RequestRow* row = orderRow();
    snprintf(gCounter.requestText, COUNTER_TAG_SIZE, "%.*s", REQUEST_NAME_SIZE, row ? row->orderName : "");
}

static int32_t orderQuantity() {
    int32_t q = gCounter.orderQuantity;
    return q < 0 ? 0 : q > ORDER_SLOT_COUNT ? ORDER_SLOT_COUNT : q;
}

// --- the records ------------------------------------------------------------------

int32_t findFreeOrder(const GameState& game) {
    for (int32_t i = 0; i < ORDER_COUNT; i++) {
        if (game.orders[i].active == 0) return i;
    }
    return -1;
}

void countDownOrders(GameState& game) {
    for (OrderRecord& order : game.orders) {
        if (order.active) order.daysLeft--;
    }
}

// --- the pickup's slots -------------------------------------------------------------

static void returnSlotItem(OrderSlot& slot) {
    if (slot.key != ITEM_KEY_NONE) {
        GameState& game = runningGameState();
        bool onShelf = slot.shelfPlace >= 0 && slot.shelfPlace < SHELF_CELLS && slot.shelf >= 0 && slot.shelf < SHELF_ROWS;
        if (onShelf) game.shelves[slot.shelf][slot.shelfPlace] = slot.key;
        else addItemToStorage(slot.key);
    }
    slot = OrderSlot{ITEM_KEY_NONE, -1, 0};
}

void returnOrderItems() {
    for (OrderSlot& slot : gCounter.orderSlots) returnSlotItem(slot);
}

int32_t orderSlotPlusLevels() {
    int32_t sum = 0;
    for (const OrderSlot& slot : gCounter.orderSlots) {
        if (slot.key != ITEM_KEY_NONE) sum += itemKeyPlus(slot.key);
    }
    return sum;
}

static int32_t filledSlots() {
    int32_t filled = 0;
    for (int32_t i = 0; i < orderQuantity(); i++) filled += gCounter.orderSlots[i].key != ITEM_KEY_NONE;
    return filled;
}

// A chosen key replaces the slot's item; it leaves storage, or the shelves
// when storage does not hold it.
static void fillSlot(OrderSlot& slot, int32_t key) {
    returnSlotItem(slot);
    if (key == ITEM_KEY_NONE) return;
    slot.key = key;
    if (removeStorageKey(key)) return;
    int32_t place = -1, shelf = 0;
    takeItemFromShelves(key, place, shelf);
    slot.shelfPlace = place;
    slot.shelf = shelf;
}

static void slotPointer(bool glide) {
    const CounterState& c = gCounter;
    float y = SLOT_POINTER_TOP + SLOT_ROW_HEIGHT * static_cast<float>(c.orderCursor - c.orderScroll);
    if (glide) glidePointerTo(SLOT_POINTER_X, y);
    else setPointerPosition(SLOT_POINTER_X, y);
}

static int32_t stats(int32_t key) {
    int32_t totals[ITEM_STAT_COUNT] = {};
    getItemStats(key, totals);
    return totals[0] + totals[1] + totals[2] + totals[3];
}

// An adventurer customer equips the order item with the highest stat total
// among those it may wear in a slot whose item has a lower total.
static int32_t chooseOrderPick() {
    const CounterState& c = gCounter;
    if (c.customerType < ADVENTURER_TYPE_FIRST || c.customerType > ADVENTURER_TYPE_LAST) return ITEM_KEY_NONE;
    int32_t adventurer = c.customerType - ADVENTURER_TYPE_FIRST;
    const AdventurerRecord& record = runningGameState().adventurers[adventurer];
    int32_t pick = ITEM_KEY_NONE, best = 0;
    for (int32_t i = 0; i < orderQuantity(); i++) {
        int32_t key = c.orderSlots[i].key;
        if (key == ITEM_KEY_NONE) continue;
        int32_t total = stats(key);
        bool better = false;
        for (int32_t e = 0; e < EQUIPMENT_SLOTS && !better; e++)
            better = canEquip(adventurer, e, key) && stats(record.equipment[e]) < total;
        if (better && (pick == ITEM_KEY_NONE || total > best)) {
            pick = key;
            best = total;
        }
    }
    return pick;
}

// The order's price: the base prices of the slot items that fit the order.
// True when every slot of the quantity holds one that fits.
static bool priceOrder() {
    CounterState& c = gCounter;
    int32_t sum = 0;
    bool allFit = true;
    for (int32_t i = 0; i < orderQuantity(); i++) {
        int32_t key = c.orderSlots[i].key;
        if (key != ITEM_KEY_NONE && itemFitsRequestRow(key, c.requestRow)) {
            int32_t row = findItemDef(itemKeyId(key));
            sum += row >= 0 ? gItemDefinitions[row].price : 0;
        } else {
            allFit = false;
        }
    }
    c.itemKey = c.orderSlots[0].key;
    const RequestRow* row = orderRow();
    snprintf(c.itemText, COUNTER_TEXT_SIZE, "%.*s", REQUEST_NAME_SIZE, row ? row->orderName : "");
    c.unitPrice = c.basePrice = c.counterPrice = sum;
    return allFit;
}

static void sellOrder() {
    CounterState& c = gCounter;
    for (OrderSlot& slot : c.orderSlots) {
        if (slot.key != ITEM_KEY_NONE) logSoldItem(slot.key, 0);
    }
    runningGameState().money += c.counterPrice;
    playSoundEffect(SOUND_MONEY);
    updatePriceReputation(PRICE_SOLD);
    awardDealBonus();
    equipAdventurerPurchase();
    // Sold: the items left storage and the shelves when they were chosen.
    for (OrderSlot& slot : c.orderSlots) slot = OrderSlot{ITEM_KEY_NONE, -1, 0};
}

// The slot list has the input: the cursor, item info, and confirm.
static void chooseSlot() {
    CounterState& c = gCounter;
    int32_t quantity = orderQuantity();
    if (c.stateFrame <= SLOT_POINTER_HOLD) {
        slotPointer(false);
        return;
    }
    uint16_t keys = repeated();
    int32_t moved = c.orderCursor;
    if (keys & COUNTER_UP) moved = c.orderCursor > 0 ? c.orderCursor - 1 : 0;
    if (keys & COUNTER_DOWN) moved = c.orderCursor < quantity ? c.orderCursor + 1 : quantity;
    if (moved != c.orderCursor) {
        c.orderCursor = moved;
        if (c.orderCursor < c.orderScroll) c.orderScroll = c.orderCursor;
        if (c.orderCursor >= c.orderScroll + SLOT_ROWS_SHOWN) c.orderScroll = c.orderCursor - SLOT_ROWS_SHOWN + 1;
        playSoundEffect(SOUND_CURSOR);
        slotPointer(true);
    }
    int32_t key = c.orderCursor > 0 ? c.orderSlots[c.orderCursor - 1].key : ITEM_KEY_NONE;
    showItemInfo(key);
    if ((pressed() & COUNTER_INFO) && key != ITEM_KEY_NONE) {
        openItemInfo(INFO_WINDOW_MODE);
        playSoundEffect(SOUND_INFO_POPUP);
        return;
    }
    if (!(pressed() & COUNTER_CONFIRM)) return;
    playSoundEffect(SOUND_CONFIRM);
    if (c.orderCursor > 0) {
        openItemList(ITEM_LIST_DELIVERY, 0);
        snapListCursor();
        showPointer();
        c.orderListOpen = 1;
        return;
    }
    if (filledSlots() < quantity) {
        returnOrderItems();
        c.sidePanelMode = 0;
        hidePointer();
        enterState(COUNTER_NOTHING);
        return;
    }
    hidePointer();
    hideItemList();
    enterState(COUNTER_OFFER_ITEM);
}

// The item list is open for the slot under the cursor.
static void chooseSlotItem() {
    CounterState& c = gCounter;
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CONFIRMED) playSoundEffect(SOUND_CONFIRM);
    if (result == ITEM_LIST_CANCELLED) playSoundEffect(SOUND_CANCEL);
    if (result != ITEM_LIST_CHOSEN && result != ITEM_LIST_CANCELLED) return;
    if (result == ITEM_LIST_CHOSEN && c.orderCursor > 0 && c.orderCursor <= ORDER_SLOT_COUNT) {
        fillSlot(c.orderSlots[c.orderCursor - 1], getSelectedListItemKey());
        openItemList(ITEM_LIST_DELIVERY, 0);
    }
    hideItemList();
    c.orderListOpen = 0;
    slotPointer(true);
}

// --- the machines -------------------------------------------------------------------

void updateOrderPlacement() {
    CounterState& c = gCounter;
    if (!beginCounterHandler()) return;
    switch (c.state) {
    case COUNTER_OPENING: enterState(COUNTER_DEAL); break;
    case COUNTER_DEAL:
        if (c.stateFrame == 1) {
            setRequestTextToOrder();
            visitorSays(VISITOR_TUTORIAL_TOO_HIGH);
        }
        if (visitorAnswered()) {
            shopkeeperSays(SHOPKEEPER_ASK_ORDER);
            enterState(COUNTER_CHOICE);
            playSoundEffect(SOUND_CONFIRM);
        }
        break;
    case COUNTER_CHOICE: {
        if (c.stateFrame < ORDER_CHOICE_FRAME) break;
        if (c.stateFrame == ORDER_CHOICE_FRAME) {
            c.choiceTimer = c.choiceCursor = 0;
            setPointerPosition(192.0f, ORDER_CHOICE_POINTER_Y);
            showPointer();
        }
        int32_t answer = updateCounterChoice(ORDER_CHOICE_POINTER_Y);
        if (answer == 0) break;
        hidePointer();
        c.panelWanted[SLOT_SHOPKEEPER] = 0;
        GameState& game = runningGameState();
        // All ten records in use: the order is refused before any thanks.
        int32_t free = answer == 1 ? findFreeOrder(game) : -1;
        if (free < 0) {
            enterState(COUNTER_NO_FIT);
            break;
        }
        game.orders[free] = OrderRecord{1, c.requestRow, c.orderDays, static_cast<int16_t>(c.customerIndex),
                                        static_cast<int16_t>(c.customerType), c.orderQuantity};
        enterState(COUNTER_THANKS);
        break;
    }
    case COUNTER_NO_FIT:
        if (c.stateFrame == 1) visitorSays(VISITOR_ORDER_REFUSED);
        if (visitorAnswered()) enterState(COUNTER_NOTHING);
        break;
    case COUNTER_NOTHING:
        if (c.stateFrame == 1) shopkeeperSays(SHOPKEEPER_ORDER_REFUSED);
        if (shopkeeperAnswered()) enterState(COUNTER_AFTER_LEAVING);
        break;
    default: break;
    }
    endCounterHandler();
}

// The states that may end the pickup without a deal give the items back.
static void returnItemsIfLeft() {
    if (gCounter.state != COUNTER_LEAVES) return;
    returnOrderItems();
    gCounter.sidePanelMode = 0;
}

void updateOrderPickup() {
    CounterState& c = gCounter;
    if (!beginCounterHandler()) return;
    switch (c.state) {
    case COUNTER_OPENING:
        if (c.stateFrame == 1) {
            setRequestTextToOrder();
            visitorSays(VISITOR_ORDER_PICKUP);
        }
        if (visitorAnswered()) {
            for (OrderSlot& slot : c.orderSlots) slot = OrderSlot{ITEM_KEY_NONE, -1, 0};
            c.orderCursor = 1;
            c.orderScroll = 0;
            c.listOpenPending = 1;   // shown beside the slots; the slot column has the input
            c.orderListOpen = 0;
            c.sidePanelMode = 1;
            enterState(COUNTER_PICK_ITEM);
        }
        break;
    case COUNTER_PICK_ITEM:
        if (c.orderListOpen) chooseSlotItem();
        else chooseSlot();
        break;
    case COUNTER_OFFER_ITEM:
        if (c.stateFrame == 1) {
            shopkeeperSays(SHOPKEEPER_OFFER_ITEM);
            c.sidePanelMode = 2;
            c.orderPick = chooseOrderPick();
        }
        if (shopkeeperAnswered()) {
            if (priceOrder()) {
                enterState(COUNTER_ASK_PRICE);
            } else {
                returnOrderItems();
                enterState(COUNTER_NO_FIT);
            }
        }
        break;
    case COUNTER_ASK_PRICE:
        if (c.stateFrame == 1) visitorSays(VISITOR_ITEM_FITS);
        if (visitorAnswered()) startBuyerHaggle();
        break;
    case COUNTER_PRICE_ENTRY: runPriceEntry(SHOPKEEPER_SELL_PROMPT); break;
    case COUNTER_CHOICE: runPriceChoice(); break;
    case COUNTER_COUNTER_OFFER:
    case COUNTER_OVER_BUDGET:
        runBuyerCounterOffer();
        returnItemsIfLeft();
        break;
    case COUNTER_WALK_OUT:
        visitorSaysThenLeaves(VISITOR_WALK_OUT);
        returnItemsIfLeft();
        break;
    case COUNTER_DEAL:
        if (c.stateFrame == 1) c.sidePanelMode = 0;
        runBuyerDeal(sellOrder);
        break;
    case COUNTER_NO_FIT:
        if (c.stateFrame == 1) c.sidePanelMode = 0;
        visitorSaysThenLeaves(VISITOR_NO_FIT);
        break;
    case COUNTER_NOTHING:
        if (c.stateFrame == 1) shopkeeperSays(SHOPKEEPER_NOTHING);
        if (shopkeeperAnswered()) enterState(COUNTER_NOTHING_ANSWER);
        break;
    case COUNTER_NOTHING_ANSWER: visitorSaysThenLeaves(VISITOR_NOTHING_ANSWER); break;
    default: break;
    }
    endCounterHandler();
}

void updateOrderOverdue() {
    CounterState& c = gCounter;
    if (!beginCounterHandler()) return;
    switch (c.state) {
    case COUNTER_OPENING: enterState(COUNTER_DEAL); break;
    case COUNTER_DEAL: visitorSaysThenLeaves(VISITOR_ORDER_OVERDUE); break;
    default: break;
    }
    endCounterHandler();
}
