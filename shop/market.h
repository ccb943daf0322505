// shop/market.h: the market and the merchants' guild (game mode 6): the
// menu, buying and selling through the item list and the quantity window,
// store expansion, the guild's talk topics, the story events of a visit and
// leaving for the town map. updateMarketScene runs once per tick while the
// mode is 6 and no event runs; drawMarketScene once per drawn frame. The
// wares and prices are shop/market_stock.h. Main thread only.
#pragma once
#include <cstdint>

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

// The guild's talk topics: six that start an event, then "Never mind".
constexpr int32_t MARKET_TOPIC_COUNT = 7;
constexpr int32_t MARKET_TOPICS_VISIBLE = 6;
struct MarketTopic {
    const char* label;
    int32_t eventMinor;   // event (1, minor); -1 for "Never mind"
    int32_t heardFlag;    // story flag set once heard
};
extern const MarketTopic MARKET_TOPICS[MARKET_TOPIC_COUNT];

// Store expansion by the current shopSize 0..2.
constexpr int32_t SHOP_EXPANSION_STEPS = 3;
extern const int32_t STORE_EXPANSION_COSTS[SHOP_EXPANSION_STEPS];

constexpr int32_t MARKET_GREETING_FRAMES = 120;
constexpr int32_t MARKET_OPEN_FRAMES = 15;    // a list, the topics or a question opens
constexpr int32_t MARKET_SLIDE_FRAMES = 25;   // the fusion window slides in after the list opened
constexpr int32_t MARKET_SPEECH_SLIDE = 15;
constexpr int32_t MARKET_LEAVE_FADE = 17;
constexpr int32_t MARKET_TOPIC_DELAY = 16;
constexpr int32_t MARKET_QUANTITY_MAX = 99;
constexpr int32_t MARKET_FIRST_VISIT_ROOM = 11;   // before the first leave, storage holds at most this many
constexpr int32_t MARKET_FIRST_VISIT_FULL = 9;    // more stored than this: the clerk stops the purchase
constexpr int32_t MARKET_GIFT_ITEM = 4008;        // handed over at the first leave
constexpr float MARKET_BUY_FACTOR = 0.7f;
constexpr float MARKET_SELL_FACTOR = 0.3f;

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

// Enters mode 6 as the guild or the market: from the town map, or when a
// loaded game resumes there.
void enterMarketScene(int32_t mode);
// Every tick: runMarketScene.
void updateMarketScene();
void runMarketScene();
// 2D states, the scene, then the HUD bar.
void drawMarketScene();
// Background, panels, item list, windows, pointer and message window.
void drawMarketScreen();
// The menu, the topics and the clerk's speech panel.
void drawMarketPanels();
// The entries of the menu for the place, the merchant level and the shop size.
void buildMarketMenu();
int32_t getMarketMenuCursor();
const char* marketMenuLabel(int32_t code);
// What the speech panel says: -1 the greeting, else the highlighted menu code.
int32_t marketSpeechKey();
// Its line, with the expansion's cost filled in.
void formatMarketSpeech(char* out, int32_t size);
bool marketTopicUnheard(int32_t topic);
bool marketAnyTopicUnheard();
// 1 while the menu has its Buy entry selected: the item windows then name
// the purchase price.
int32_t isMarketBuySelected();

// The quantity window: closed at once; one tick of it (-1 busy, 1 yes, 2 no,
// 0 while closed); its drawing.
void resetTradeConfirm();
int32_t updateTradeConfirm();
void drawTradeConfirm();

// Around an overlay over the market: its list cursors kept and given back.
void saveMarketListState();
void restoreMarketListState();
// Run when the market takes over again from an overlay; nothing to do.
void resumeMarketScene();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetMarketState();

// Pure rules, for the scene and its tests.
// The expansion's price for the shop size, -1 when the shop cannot grow.
int32_t storeExpansionCost(int32_t shopSize);
// Whether the guild offers expansion at this size and merchant level.
bool marketOffersExpansion(int32_t shopSize, int32_t merchantLevel);
// The largest purchase: at most 99, what the money pays (a unit price of 0
// never limits), what storage can take below its trade limit and what is on
// offer; before the first leave also 11 - storageCount. Never below 0.
int32_t marketPurchaseLimit(int32_t money, int32_t unitPrice, int32_t stored, int32_t onOffer, int32_t storageCount,
                            bool firstVisit);
