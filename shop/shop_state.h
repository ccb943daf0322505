// shop/shop_state.h: the shop's state records: the shop scene's words that
// the shop floor's control shares, the counter, the day's visit plan, the
// item list, the market scene and the end-of-day report. Each has one row in
// SHOP_STATE, the shop's table of the game's state registry (its reset to
// what a fresh process has, its part of the run checksum and the bytes a
// test snapshot copies). Main thread only.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"
#include "engine/save_file.h"

struct StateTable;
extern const StateTable SHOP_STATE;
// The shop scene's words back to a fresh process's values.
void resetShopScene();

// 0 normally; 1..160 while the night talk runs after closing.
extern int32_t gShopDayPhase;
// Ticks since the shop scene began; 300 on entering the closed shop.
extern int32_t gFieldTicks;
// How the shop scene began: 0 none, 1 a new morning, 2 back from the town map.
extern int32_t gShopSequence;
enum ShopSequence : int32_t {
    SHOP_SEQUENCE_NONE = 0,
    SHOP_SEQUENCE_MORNING = 1,
    SHOP_SEQUENCE_FROM_TOWN = 2,
};

constexpr int32_t COUNTER_BONUS_ROWS = 5;
constexpr int32_t COUNTER_TEXT_SIZE = 256;
constexpr int32_t COUNTER_TAG_SIZE = 64;
constexpr int32_t ORDER_SLOT_COUNT = 5;
constexpr int32_t COUNTER_CLOSING_MIN_TICKS = 240; // the phase lasts at least this long

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

// The day's visitors, rebuilt by beginShopDay when a phase opens and read by
// the counter while it runs.
constexpr int32_t DAY_CANDIDATE_COUNT = 100;
constexpr int32_t VISIT_PLAN_MAX = 30;
constexpr int32_t VISIT_ORDER_SIZE = 50;

// How a candidate comes today.
enum CandidateAvailability : int32_t {
    CANDIDATE_AWAY = 0,      // will not come
    CANDIDATE_CERTAIN = 1,   // comes whatever the score
    CANDIDATE_EAGER = 2,     // comes when the score is high enough
};

// One row per customer; the row number is the customer index.
struct DayCandidate {
    int32_t customerType;    // -1 an empty row
    int32_t availability;    // CandidateAvailability
    int32_t score;
    int32_t isExtra;         // 1: the second or third row of one type
};

// Kinds of plan rows.
enum VisitKind : int32_t {
    VISIT_EMPTY = -1,
    VISIT_BUY = 0,           // a buyer, or a request customer
    VISIT_SELL = 1,
    VISIT_ORDER_PLACE = 2,
    VISIT_ORDER_DUE = 3,
    VISIT_ORDER_OVERDUE = 4,
};

struct VisitPlan {
    int32_t customerType;    // -1 once the visit can no longer happen
    int32_t customerIndex;
    int32_t kind;            // VisitKind
    int32_t requestRow;
    int32_t quantity;
    int32_t days;
};

constexpr int32_t DAY_LINEUP_SIZE = 50;
constexpr int32_t DAY_LINEUP_MAX = 20;       // entries filled at most
constexpr int32_t DAY_LINEUP_END = -2;

struct DayPlanState {
    DayCandidate dayCandidates[DAY_CANDIDATE_COUNT];
    VisitPlan visitPlan[VISIT_PLAN_MAX];
    int32_t visitPlanCount;
    int32_t visitOrder[VISIT_ORDER_SIZE];   // plan rows in visiting order
    int32_t dayLineup[DAY_LINEUP_SIZE];     // the customer types walking through the shop today, ended by -2
};
extern DayPlanState gDayPlan;
// Back to the values a fresh process starts with.
void resetDayPlan();

// The item list every screen opens to pick an item.
constexpr int32_t ITEM_LIST_PAGE_MAX = 100;        // item ids < 10,000: at most 100 categories
constexpr int32_t ITEM_LIST_VISIBLE_ROWS = 7;
constexpr int32_t ITEM_LIST_SLIDE_TICKS = 5;
constexpr int32_t ITEM_LIST_FLASH_TICKS = 6;
constexpr int32_t ITEM_LIST_SHELF_PLACES = SHELF_ROWS * SHELF_CELLS;
// Room for every candidate a list can have (all of storage and every shelf
// place, none merging) and a pseudo row on each page.
constexpr int32_t ITEM_LIST_ENTRY_MAX = STORAGE_ENTRY_COUNT + ITEM_LIST_SHELF_PLACES + ITEM_LIST_PAGE_MAX;

struct ItemListEntry {
    int32_t key;     // ItemKey, or ITEM_KEY_LIST_ROW
    int32_t count;   // equal items the row stands for; in the market the quantity on offer (100 unlimited)
};

struct ItemListState {
    int32_t type;                 // ItemListType
    int32_t open;                 // 1 while shown
    int32_t slide;                // 0..5; input is taken at 5
    int32_t pageCount;            // 0 for an empty list
    int32_t page;
    int32_t pageStart[ITEM_LIST_PAGE_MAX];
    int32_t pageSize[ITEM_LIST_PAGE_MAX];    // entries, the pseudo row included
    int32_t pageKey[ITEM_LIST_PAGE_MAX];     // first real key: titles the page
    int32_t scroll[ITEM_LIST_PAGE_MAX];      // entry shown in the top row
    int32_t cursor[ITEM_LIST_PAGE_MAX];      // entry under the cursor, 0..pageSize - 1
    int32_t savedScroll[ITEM_LIST_PAGE_MAX];
    int32_t savedCursor[ITEM_LIST_PAGE_MAX];
    int32_t savedPage;
    int32_t flash;                // ticks since a confirm, 0 none
    int32_t infoItemKey;          // what the side panel and the popup show; -1 none
    int32_t infoItemStock;        // stored items of that id; -1 to be counted
    float infoPriceFactor;        // applied to the side panel's price
    int32_t infoState;            // 0 closed, 1 opened from the list, 2..4 by a screen
    int32_t header;               // 0 none, 1 an empty shelf place, 2 a filled one
    int32_t equipAdventurer;      // rows are marked against this adventurer's slot; -1 none
    int32_t equipSlot;
    int32_t useTimer;             // side panel messages; they hold the list while running
    int32_t discardTimer;
    int32_t useValues[2];         // HP and SP change of the last use, -1 not applicable
    int32_t panelKey;             // nonzero: the use message says nothing could be recovered
    ItemListEntry entries[ITEM_LIST_ENTRY_MAX];   // each page's entries contiguous
};
extern ItemListState gItemList;

// Back to the values a fresh process starts with (closed and empty).
void resetItemListState();

extern int32_t gMarketMode;   // 0 the merchants' guild, 1 the market
enum MarketMode : int32_t {
    MARKET_MODE_GUILD = 0,
    MARKET_MODE_MARKET = 1,
};

// Menu codes, and the labels they show.
enum MarketMenuCode : int32_t {
    MARKET_BUY = 0,
    MARKET_SELL = 1,
    MARKET_TALK = 2,
    MARKET_FUSION = 3,
    MARKET_LEAVE_GUILD = 4,
    MARKET_LEAVE_MARKET = 5,
    MARKET_EXPANSION = 6,
};
constexpr int32_t MARKET_MENU_MAX = 7;

// What has the input.
enum MarketScreen : int32_t {
    MARKET_SCREEN_LIST = 0,            // buying, selling or the fusion recipes
    MARKET_SCREEN_MENU = 1,
    MARKET_SCREEN_TOPICS = 2,
    MARKET_SCREEN_EXPANSION = 4,       // the expansion question
    MARKET_SCREEN_FUSION_QUESTION = 5,
    MARKET_SCREEN_FUSION_RESULT = 6,
    MARKET_SCREEN_QUANTITY = 8,
};

// The quantity window (updateTradeConfirm).
struct TradeConfirm {
    int32_t active;       // 1 from opening until the answer is returned
    int32_t openCounter;  // 0..4, opening then closing
    int32_t answer;       // 0 none yet, 1 yes, 2 no
    int32_t answerFrames; // frames since the answer
    int32_t choice;       // 0 yes, 1 no
    int32_t quantity;
    int32_t unitPrice;
    int32_t maxQuantity;
    int32_t buying;       // 1 buying, 0 selling
    int32_t itemKey;      // the list entry traded
};

struct MarketScene {
    int32_t screen;                       // MarketScreen
    int32_t menuCursor;
    int32_t menuCount;
    int32_t menuCodes[MARKET_MENU_MAX];
    int32_t frame;                        // ticks since entering
    int32_t speechTimer;                  // ticks the speech panel has been fully in
    int32_t speechChars;                  // typewriter: two characters a tick
    int32_t speechLine;                   // the menu code whose line is typed; -1 the greeting
    int32_t greetingOver;                 // up or down ended the greeting early
    int32_t panelSlide;                   // speech panel 0..15
    int32_t opening;                      // list, topics or question: 0..25
    int32_t closing;                      // the menu panel sliding back: 15..0
    int32_t openingCode;                  // the menu code being opened
    int32_t topicCursor;
    int32_t topicTop;
    int32_t topicDelay;                   // ticks until the chosen topic's event, 0 none
    int32_t fusionCursor;
    int32_t fusionTop;
    int32_t fusionCount;                  // recipes offered at the merchant level
    int32_t fusionResult;                 // the fusion result's counter
    int32_t fusionPlus;                   // plus level of the last product
    int32_t leaveFirst;                   // the first leave's fade: 1..17, 0 none
    int32_t leaveLater;                   // a later leave's fade: 1..17, 0 none
    int32_t leaveAfterEvent;              // the first leave's event started: leave on the next tick
    int32_t eventStarted;                 // an event was started by the last tick: draw black
    TradeConfirm confirm;
};
extern MarketScene gMarket;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetMarketState();

constexpr int32_t CHOSEN_ITEMS_MAX = 3;

// The item choice: what a defeated run keeps, the column's cursor and
// whether the bag list has the input.
struct ItemChoiceState {
    int32_t chosenItems[CHOSEN_ITEMS_MAX];   // ItemKeys, -1 empty
    int32_t cursor;                          // 0 "Confirm", 1..n a slot
    int32_t listActive;                      // the bag list has the input
};
extern ItemChoiceState gItemChoice;
// Back to the values a fresh process starts with: nothing chosen.
void resetItemChoiceState();

// The report and the item choice; reset by openDayReport (the item
// choice's fields by startItemChoice).
struct DayReportState {
    int32_t quota;
    int32_t profit;
    int32_t shownProfit;
    int32_t shownScore;
    int32_t totalBefore;       // totalScore before today
    int32_t rank;              // 0 best .. 4
    int32_t reportDay;         // the date the report is about
    int32_t selectedList;      // 0 sold, 1 bought, 2 found
    int32_t scroll[DAY_LOG_COUNT];
    int32_t countFrame;        // frames of the count-up
    int32_t timer;             // frames since both counts were reached; 0 before
    int32_t paymentDay;
    int32_t paymentShort;      // the money was below the quota when paying began
    int32_t paid;
    int32_t paymentFrame;
    int32_t payEndFrame;       // 0 while paying; the frame the end shows from
    int32_t paidShort;         // paying ended with the money gone
    int32_t shake;
    int32_t shakeX, shakeY;
    int32_t leaving;           // 0, else ticks since the leaving began
    int32_t panelFrame;
    // The item choice.
    int32_t runOutcome;        // gRun.runEndState when it started
    int32_t intro;
    int32_t wholeBag;
};
extern DayReportState gDayReport;
void resetDayReportState();

// Handed to the game-over and after-ending scenes: the week's payment fell
// short; day 36 ended with its payment made.
// ---- The item collection's screen

constexpr int32_t COLLECTION_LIST_MAX = 60;     // items a category's page lists
constexpr int16_t COLLECTION_NONE_SEEN = -2;    // the first cell of a category with nothing seen
struct CollectionScreen {
    int16_t items[COLLECTION_ENTRY_COUNT][COLLECTION_LIST_MAX];   // seen item ids, -1 past the end
    uint8_t order[COLLECTION_ENTRY_COUNT][COLLECTION_LIST_MAX];   // display order of items
    int32_t firstRow[COLLECTION_ENTRY_COUNT];   // item table row of the category's placeholder, -1 none
    int32_t categories[COLLECTION_ENTRY_COUNT]; // the category of each page
    int32_t categoryCount;                      // pages that hold items
    int32_t total;
    int32_t seen;
    int32_t current;        // page
    int32_t column;         // 0..2
    int32_t row;
    int32_t firstVisible;
    int32_t pageTurn;       // -10..10
    int32_t infoOpen;
};
extern CollectionScreen gCollection;
void resetCollectionScreen();

extern int32_t gDayEndUnpaid;
extern int32_t gDayEndFinal;

// ---- The shop floor's walkers

constexpr int32_t CUSTOMER_SLOT_COUNT = 30;
constexpr int32_t CUSTOMER_LINEUP_MAX = 20;
constexpr int32_t CROWD_WALKER_COUNT = 6;
constexpr int32_t STORY_VISITOR_COUNT = 2;
// The field tick the story visit's first event waits for at the latest.
constexpr int32_t STORY_VISIT_CLOCK_BASE = 1200;

// A customer walking the shop floor's 20 x 15 grid; cell (gx, gy) has its
// centre at x = 2gx - 9, z = 2gy - 7.
struct CustomerSlot {
    MotionState motion;
    float x, y, z;
    float destX, destZ;        // the centre of the next cell
    float velX, velZ;          // per tick, each within +-0.1
    float heading;             // a random angle drawn at each step
    int32_t lineupIndex;       // -1 a free slot
    int32_t modelRow;          // row of CUSTOMER_MODELS
    float scale;
    int32_t gx, gy;            // current cell
    int32_t targetX, targetY;  // the cell it browses from
    int32_t shelfSide;         // 0 below, 1 left, 2 above, 3 right, seen from the target
    int32_t walkState;         // CustomerWalk
    int32_t walkTimer;
    int32_t stepsTaken;
    int32_t turnRight;         // the slot number's parity
    float pace;
    int32_t stepDelay;         // 0..9
    int32_t gridHeading;       // 0 x - 1, 1 y + 1, 2 x + 1, 3 y - 1
};

enum CustomerWalk : int32_t {
    WALK_CHOOSE_TARGET = -1,
    WALK_START_STEP = 0,
    WALK_STEPPING = 1,
    WALK_BROWSING = 2,
};

// A passer-by in the street before the shop opens.
struct CrowdWalker {
    MotionState motion;
    float x, y, z;
    int32_t direction;         // -1, +1 walking; 0 standing
    int32_t modelRow;          // row of CUSTOMER_MODELS
    float speed;
    int32_t pauseTimer;        // 1..180 while pausing, 0 walking
    float stopX;
    int32_t stopMode;          // 0 none, 1 slows by the shop fronts, 2 stops at stopX
    int32_t stopChance;        // 0..99
};

// The customers of the open shop, the street crowd and the story visit;
// reset with the floor and when a shop phase closes.
struct FloorCustomersState {
    CustomerSlot slots[CUSTOMER_SLOT_COUNT];
    int32_t lineup[CUSTOMER_LINEUP_MAX];   // CUSTOMER_MODELS rows waiting to come in
    int32_t lineupCount;
    int32_t spawnTicks;
    int32_t nextLineup;
    CrowdWalker walkers[CROWD_WALKER_COUNT];
    int32_t nextWalker;
    int32_t crowdTicks;
    int32_t crowdStarted;                  // the first update after the reset has run
    CustomerSlot visitor;                  // the story visitor who walks in
    MotionState visitorMotions[STORY_VISITOR_COUNT];
    float riseX, riseY;                    // the second visitor's rise
    int32_t storyVisitClock;               // ticks of the scene
    int32_t storyVisitBase;                // the field tick the visit's event starts at
    int32_t storyVisitStep;                // how far the visit's timeline has gone
};
extern FloorCustomersState gFloorCustomers;
void resetFloorCustomersState();
