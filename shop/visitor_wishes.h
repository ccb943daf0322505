// shop/visitor_wishes.h: what each visitor wants. When a visit slot comes up
// the counter asks which shelf item a buyer brings, which item a seller
// offers and which request row a request customer asks about; between visits
// the vending shelves sell on their own. The choices read the day's plan,
// the shelves and storage of the running game and the item table, and write
// the visit into gCounter. Main thread, inside the counter's tick.
#pragma once
#include <cstdint>

struct ItemDefinition;

constexpr int32_t SHOWCASE_PLACE_COUNT = 7;
extern const int32_t SHOWCASE_PLACES[SHOWCASE_PLACE_COUNT];   // places of shelf 0
constexpr int32_t REQUEST_RANKS = 5;
extern const int32_t REQUEST_RANK_LEVELS[REQUEST_RANKS];     // rank a request row of rank 0..4 needs
constexpr int32_t SELLER_RANKS = 6;
extern const int32_t SELLER_RANK_LEVELS[SELLER_RANKS];       // rank an item of sellerRank 0..5 needs

constexpr int32_t SELLERS_PER_PHASE = 3;
constexpr int32_t SELLER_MONEY_FLOOR = 1000;   // at or below it, sellers are turned away
constexpr int32_t VENDING_TRIES = 3;           // stock positions a vending customer looks at
constexpr int32_t VENDING_POSITIONS = 10;      // of which the first three are drawn
constexpr int32_t EAGER_SCORE = 64;            // candidates above it count toward vending sales

// A place of shelf 0 that shows its item off (a buyer pays up to 20 % more).
bool isShowcasePlace(int32_t shelf, int32_t place);
// On a trend day: the trend names this item, or else its category (trend
// mask 0), or else one of the mask's flags.
bool itemMatchesTrend(const ItemDefinition& item);

// The buyer's shelf item: 1 with the visit set up (mode 2), 0 when nothing
// fits.
int32_t chooseBuyerItem();
// The seller's item: 1 with the visit set up (mode 0) and one more seller in
// this phase, 0 when the seller is turned away or nothing can be offered.
int32_t chooseSellerItem();
// A request visit (mode 1), only while requests are allowed; 1 when the
// customer found a request row.
int32_t chooseRequestVisit();
// A request row the customer's rank and tastes (or the trend day) allow,
// drawn uniformly; -1 when none.
int32_t pickRequestRow(int32_t customerType, int32_t customerIndex);
// The automatic sales of the vending shelves among the layout's first
// shelfCount shelves (the shelves the shop floor placed).
void runVendingSales(int32_t shelfCount);
