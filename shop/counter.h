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

constexpr int32_t COUNTER_BONUS_ROWS = 5;
constexpr int32_t COUNTER_TEXT_SIZE = 256;
constexpr int32_t COUNTER_TAG_SIZE = 64;
constexpr int32_t ORDER_SLOT_COUNT = 5;
constexpr int32_t COUNTER_PRICE_MAX = 9999999;   // what the seven price digits show
constexpr int32_t COUNTER_PRICE_DIGITS = 7;
constexpr int32_t COUNTER_SLIDE_IN = 32;          // slide and letterbox when fully in
constexpr int32_t COUNTER_PANEL_OPEN = 15;        // a panel's slide when fully shown
constexpr int32_t COUNTER_CLOSING_MIN_TICKS = 240; // the phase lasts at least this long
constexpr int32_t COUNTER_CLOSING_FADE = 90;

// Kinds of the deal bonus rows.
enum CounterBonusKind : int32_t {
    BONUS_PERFECT = 0,
    BONUS_COMBO = 1,
    BONUS_NEAR = 2,
    BONUS_TOTAL = 3,
};

// Counter modes: what the visitor came for.
enum CounterMode : int32_t {
    COUNTER_SELLER = 0,
    COUNTER_REQUEST = 1,
    COUNTER_BUYER = 2,
    COUNTER_ORDER_PLACEMENT = 3,
    COUNTER_ORDER_PICKUP = 4,
    COUNTER_ORDER_OVERDUE = 5,
};

// Counter states; the numbers are stored and compared.
enum CounterStateId : int32_t {
    COUNTER_FREE = 0,            // the gap between visits runs
    COUNTER_ARRIVED = 1,         // the shopkeeper greets
    COUNTER_OPENING = 2,         // the customer's opening line
    COUNTER_PICK_ITEM = 3,       // the player picks from a list
    COUNTER_OFFER_ITEM = 4,      // the shopkeeper offers the picked item
    COUNTER_ASK_PRICE = 5,       // the customer accepts the item and asks the price
    COUNTER_PRICE_ENTRY = 6,
    COUNTER_DEAL = 7,
    COUNTER_COUNTER_OFFER = 8,
    COUNTER_WALK_OUT = 9,
    COUNTER_THANKS = 10,
    COUNTER_LEAVES = 11,         // without a deal
    COUNTER_SUMMARY = 12,
    COUNTER_AFTER_LEAVING = 13,
    COUNTER_CHOICE = 15,         // "Okay!" / "Start Again"
    COUNTER_NO_FIT = 16,
    COUNTER_NOTHING = 17,        // the shopkeeper has nothing to offer
    COUNTER_NOTHING_ANSWER = 18,
    COUNTER_TUTORIAL_COMMENT = 20,
    COUNTER_TUTORIAL_LEAVE = 21,
    COUNTER_QUEST_REWARD = 30,
    COUNTER_OVER_BUDGET = 40,
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

// An order item in one of the five slots of an order pickup.
struct OrderSlot {
    int32_t key;          // -1 empty
    int32_t shelfPlace;   // -1 when it came from storage
    int32_t shelf;
};

// The counter's state; reset by the shop day's start and never saved.
struct CounterState {
    // Flow of the day phase.
    int32_t state;              // CounterStateId
    int32_t mode;               // CounterMode of the visit, -1 before the first
    int32_t stateFrame;         // the handler adds 1 first: a state's first frame sees 1
    int32_t gapFrame;           // frames since the counter became free
    int32_t visitsDone;         // visit slots used, also those nobody came to
    int32_t visitCursor;        // position in the day's visit order
    int32_t slide;              // 0..32, the customer's portrait sliding in
    int32_t letterbox;          // 0..32
    int32_t closing;            // 0 open, 1 closing requested, 2 fading out
    int32_t tutorialMode;       // 1 while the counter tutorial runs
    int32_t dayTimer;           // frames since the shop opened in this phase
    int32_t cancelPromptOpen;   // the "cancel the tutorial?" window is open
    int32_t shopOpening;        // the counter scene is drawn
    int32_t sellersToday;       // seller visits in this phase
    int32_t questDay;           // 1: the ingredient quest keeps its items off sale

    // The visitor and the item.
    int32_t customerType;
    int32_t customerIndex;      // row of the day's candidates, indexes customerRelations
    int32_t visitorType;        // whose pictures the portrait loader loads; fixed before it starts
    int32_t itemKey;
    int32_t showcaseItem;       // 1: the buyer took it from a showcase place
    int32_t requestRow;
    int32_t orderQuantity;
    int32_t orderDays;          // an order placement: the days until it is due
    int32_t orderPick;          // an order item an adventurer customer will equip, -1 none
    int32_t infoFrame;          // 0, or frames since the item was shown (1..60)

    // Prices in gold and the customer's side of the haggling.
    int32_t counterPrice;       // the price the player asks or offers
    int32_t unitPrice;          // the item definition's base price
    int32_t basePrice;          // what the haggling is measured against
    int32_t reference;
    int32_t offer;              // the customer's current offer or ask
    int32_t limit;              // beyond it the customer walks out
    int32_t target;             // the price judged perfect
    int32_t round;              // offers made so far
    int32_t digitCursor;        // 0..6, the edited digit (0 the ones)

    // Prompts and panels.
    int32_t choiceCursor;       // 0 "Okay!", 1 "Start Again"
    int32_t choiceTimer;        // 0..15, frames since "Okay!" was confirmed
    int32_t choiceFade;         // 0..5
    int32_t panelWanted[2];     // CounterSlot: nonzero shows the speech panel
    int32_t panelSlide[2];      // 0..15
    int32_t pricePanelWanted;
    int32_t pricePanelSlide;
    int32_t sidePanelMode;      // 0 none, 1 order slots, 2 order summary, 3 request list
    int32_t sidePanelSlide;
    int32_t listOpenPending;    // 1 the storage list, 2 the tutorial's fixed list
    int32_t badPriceInTutorial;
    int32_t levelUpFlash;       // 0, or 1..79 while a level-up shows

    // The deal bonus display and the run of deals closed on a first offer.
    int32_t bonusRowCount;
    int32_t bonusTimer;
    int32_t bonusKinds[COUNTER_BONUS_ROWS];    // CounterBonusKind
    int32_t bonusValues[COUNTER_BONUS_ROWS];
    int32_t bonusAnim[COUNTER_BONUS_ROWS];
    int32_t combo;

    // Speech: the page shown and what its tags stand for.
    char speechText[COUNTER_TEXT_SIZE];
    char page1[COUNTER_TEXT_SIZE];          // the line up to its first "<C"
    char page2[COUNTER_TEXT_SIZE];          // the rest after the tag
    int32_t hasPage2;
    int32_t shownChars;                     // typewriter position
    int32_t speechDone;                     // set by the drawing once the page is shown
    int32_t faces[2];
    int32_t lineVariant;
    char itemText[COUNTER_TEXT_SIZE];       // "<I>"
    char priceText[COUNTER_TAG_SIZE];       // "<Y>"
    char requestText[COUNTER_TAG_SIZE];     // "<S>"
    char quantityText[COUNTER_TAG_SIZE];    // "<D1>"
    char dueText[COUNTER_TAG_SIZE];         // "<D2>"

    // Advance orders.
    OrderSlot orderSlots[ORDER_SLOT_COUNT];
    int32_t orderCursor;
    int32_t orderScroll;
    int32_t orderListOpen;

    // The counter tutorial's runner.
    int32_t tutorialLesson;
    int32_t tutorialStepFrame;
    int32_t tutorialStepIndex;
    int32_t tutorialWait;
    int32_t tutorialRedo;       // the visit failed and comes again
    int32_t rememberedPrice;

    // The equipment slot an adventurer customer would put the item in, -1 none.
    int32_t adventurerTargetSlot;

    // The trend day: one group floods the shop asking for a popular item.
    int32_t trendDay;            // 1 today
    int32_t trendItem;           // item id, -1 none
    int32_t trendCategory;
    int32_t trendCategoryMask;
    int32_t trendCustomerType;
    int32_t trendBannerFrame;    // frames the trend-day banner has run; 0 none
};
extern CounterState gCounter;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetCounterState();

// One tick of the open shop; waits while a customer portrait loads.
void updateShopDay();
// The overlay toggle's question while the counter tutorial runs: opens the
// yes/no window and returns 1, or returns 0.
int32_t askCancelTutorial();

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
