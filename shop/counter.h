// shop/counter.h: the counter, where customers buy, sell and haggle while
// the shop is open in one day phase. beginShopDay (shop/day_planning.h)
// resets gCounter and plans the phase; updateShopDay runs once per logic
// tick while the shop is open: it spaces the visits, sets each one up from
// the plan, runs the conversation and the haggling as a state machine per
// counter mode, moves money and items on a deal and closes the phase. The
// counter's drawing only reads gCounter, except for the words it owns
// (speechDone, trendBannerFrame, adventurerTargetSlot). Main thread only.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t COUNTER_PRICE_MAX = 9999999;   // what the seven price digits show
constexpr int32_t COUNTER_PRICE_DIGITS = 7;
constexpr int32_t COUNTER_SLIDE_IN = 32;          // slide and letterbox when fully in
constexpr int32_t COUNTER_PANEL_OPEN = 15;        // a panel's slide when fully shown
constexpr int32_t COUNTER_CLOSING_FADE = 90;

// Kinds of the deal bonus rows.
enum CounterBonusKind : int32_t {
    BONUS_PERFECT = 0,
    BONUS_COMBO = 1,
    BONUS_NEAR = 2,
    BONUS_TOTAL = 3,
};

// Speech line kinds of the shopkeeper (customer type 0, slot 0).
enum ShopkeeperLine : int32_t {
    SHOPKEEPER_GREETING = 0,
    SHOPKEEPER_OFFER_ITEM = 1,
    SHOPKEEPER_NOTHING = 2,
    SHOPKEEPER_FAREWELL = 3,           // after no deal
    SHOPKEEPER_THANKS = 5,             // after a deal
    SHOPKEEPER_PURCHASE_SUMMARY = 7,   // bought from a seller
    SHOPKEEPER_SALE_SUMMARY = 8,       // also the quest reward
    SHOPKEEPER_SELL_PROMPT = 9,        // the price when selling
    SHOPKEEPER_BUY_PROMPT = 10,        // the price when buying
    SHOPKEEPER_ORDER_SUMMARY = 11,
    SHOPKEEPER_ORDER_REFUSED = 12,
    SHOPKEEPER_ASK_ORDER = 13,
};

// Speech line kinds of the visitor (slot 1).
enum VisitorLine : int32_t {
    VISITOR_SELLER_OPENING = 0,
    VISITOR_BUYER_OPENING = 1,
    VISITOR_ITEM_FITS = 2,             // asks the price
    VISITOR_SELLER_COUNTER = 3,
    VISITOR_BUYER_COUNTER = 4,
    VISITOR_DEAL = 5,                  // buyer, request, order
    VISITOR_WALK_OUT = 6,              // the price is too high
    VISITOR_SELLER_GIVES_UP = 7,       // walks out or gives up
    VISITOR_NO_FIT = 8,
    VISITOR_NOTHING_ANSWER = 9,
    VISITOR_BUYER_GIVES_UP = 10,       // after the last round
    VISITOR_REQUEST = 12,              // "<S>"
    VISITOR_SELLER_DEAL = 13,
    VISITOR_TUTORIAL_TOO_LOW = 14,
    VISITOR_TUTORIAL_TOO_HIGH = 15,    // also the order placement's opening
    VISITOR_ORDER_PICKUP = 16,
    VISITOR_ORDER_REFUSED = 17,
    VISITOR_ORDER_OVERDUE = 18,
    VISITOR_OVER_BUDGET = 19,
};

enum CounterSlot : int32_t {
    SLOT_SHOPKEEPER = 0,
    SLOT_CUSTOMER = 1,
};

// Button bits of the input record the counter reads.
enum CounterButton : uint16_t {
    COUNTER_RIGHT = 0x01,
    COUNTER_LEFT = 0x02,
    COUNTER_UP = 0x04,
    COUNTER_DOWN = 0x08,
    COUNTER_CONFIRM = 0x10,
    COUNTER_CANCEL = 0x20,
    COUNTER_INFO = 0x40,
};

// The mode handlers of the three trading modes (shop/counter_trading.cpp).
void updateSellerCounter();
void updateRequestCounter();
void updateBuyerCounter();

// What the buying modes and the order pickup share (shop/counter_trading.cpp).
// A handler starts with beginCounterHandler (its frame count; false while
// the item-info window holds the input) and ends with endCounterHandler
// (item info on the shown item opens the window).
bool beginCounterHandler();
void endCounterHandler();
void visitorSays(int32_t kind);
void shopkeeperSays(int32_t kind);
// The line was answered, and its panel is taken away.
bool visitorAnswered();
bool shopkeeperAnswered();
// The visitor's line, then it leaves without a deal (state 11).
void visitorSaysThenLeaves(int32_t kind);
// The buyer's first offer and price entry (state 6).
void startBuyerHaggle();
void runPriceEntry(int32_t promptLine);   // state 6
void runPriceChoice();                    // state 15, then the evaluation
// A counter-offer (state 8) or the over-budget answer (state 40): the next
// offer follows unless it was the last round, after which the visitor leaves.
void runBuyerCounterOffer();
// State 7 of a buyer: its line, then the deal's effects (none in the story
// tutorial) and the thanks.
void runBuyerDeal(void (*effects)());

// The two-choice prompt after price entry: 0 pending, 1 "Okay!", 2 "Start
// Again" or cancelled (shop/price_entry.cpp). openCounterChoice starts it.
void openCounterChoice(float pointerY);
int32_t updateCounterChoice(float pointerY);
// Price entry on the repeat word; the seller's price stays within the money.
void editCounterPrice();
void countPriceDigits();
// The seller's price never exceeds the money (outside the story tutorial)
// and no price leaves 1..COUNTER_PRICE_MAX.
void clampCounterPrice();

// The counter's camera, once a tick (shop/counter_camera.cpp): scripted,
// its look-at point eases 10 % a tick toward the shop size's counter shot;
// in the two larger shops the elevation offset steps by 1.5 to its height.
void stepCounterCamera();
// value moved by step toward goal, stopping on it. Pure.
float stepTowardExactly(float value, float goal, float step);

// Speech (shop/counter_speech.cpp).
void showCustomerLine(int32_t customerType, int32_t kind, int32_t slot);
void showScriptLine(const char* text, int32_t slot, int32_t face);
void formatCounterItemName(int32_t itemKey);
// priceText: "%d gold".
void formatCounterPrice(int32_t price);
// The line was answered: its text is done and confirm was pressed.
bool counterLineAnswered();
// The counter's line kinds missing from each present customer type, told
// once after loading (a missing kind is spoken as an empty line).
void warnMissingCounterLines();
