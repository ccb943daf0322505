// shop/market.h: the market and the merchants' guild (game mode 6): the
// menu, buying and selling through the item list and the quantity window,
// store expansion, the guild's talk topics, the story events of a visit and
// leaving for the town map. updateMarketScene runs once per tick while the
// mode is 6 and no event runs; drawMarketScene once per drawn frame. The
// wares and prices are shop/market_stock.h. Main thread only.
#pragma once
#include <cstdint>

#include "shop/shop.h"

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
int32_t updateTradeConfirm();
void drawTradeConfirm();

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
