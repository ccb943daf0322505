#include "shop/visitor_wishes.h"
#include "engine/story_flags.h"

#include <algorithm>

#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "shop/counter.h"
#include "shop/customer_types.h"
#include "shop/day_planning.h"
#include "shop/item_db.h"
#include "shop/negotiation.h"
#include "shop/request_rows.h"
#include "shop/storage.h"
#include "shop/story_visits.h"
#include "shop/buysell_table.h"
#include "shop/trends.h"

const int32_t SHOWCASE_PLACES[SHOWCASE_PLACE_COUNT] = {1, 2, 3, 4, 11, 12, 13};
const int32_t REQUEST_RANK_LEVELS[REQUEST_RANKS] = {0, 3, 10, 17, 22};
const int32_t SELLER_RANK_LEVELS[SELLER_RANKS] = {0, 0, 3, 10, 17, 22};

// Items with fixed roles: the tutorial's sale, the scripted day's sale, and
// the rare floor, wall and rug.
constexpr int32_t TUTORIAL_WARE_ID = 3;
constexpr int32_t SCRIPTED_WARE_ID = 4008;
constexpr int32_t SPECIAL_FLOOR_ID = 5013;
constexpr int32_t SPECIAL_WALL_ID = 5111;
constexpr int32_t SPECIAL_RUG_ID = 5404;
constexpr int32_t SPECIAL_FLOOR_PICTURE = 12;
constexpr int32_t SPECIAL_WALL_PICTURE = 10;

static bool idIn(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }
// Materials: few customers want them.
static bool isMaterial(int32_t id) { return idIn(id, 3000, 3099); }
// Vending machines: never taken from the shelves.
static bool isVendingMachine(int32_t id) { return idIn(id, 5201, 5299); }


bool isShowcasePlace(int32_t shelf, int32_t place) {
    if (shelf != 0) return false;
    for (int32_t p : SHOWCASE_PLACES) {
        if (p == place) return true;
    }
    return false;
}

bool itemMatchesTrend(const ItemDefinition& item) {
    if (gCounter.trendItem > 0) return item.id == gCounter.trendItem;
    if (gCounter.trendCategoryMask == 0) return item.category == gCounter.trendCategory;
    return (item.categoryFlags & gCounter.trendCategoryMask) != 0;
}

static int32_t relationPoints(int32_t customerIndex) {
    if (customerIndex < 0 || customerIndex >= CUSTOMER_RELATION_COUNT) return 0;
    return runningGameState().customerRelations[customerIndex].points;
}

static bool likesCategory(const CustomerType& type, int32_t category) {
    for (int32_t i = 0; i < type.likedCount && i < CUSTOMER_LIKED_MAX; i++) {
        if (type.likedCategories[i] == category) return true;
    }
    return false;
}

// The plan row of the visit about to start; null when the cursor is off the
// plan.
static VisitPlan* currentPlanRow() {
    int32_t cursor = gCounter.visitCursor;
    if (cursor < 0 || cursor >= VISIT_ORDER_SIZE) return nullptr;
    int32_t row = gDayPlan.visitOrder[cursor];
    return row >= 0 && row < VISIT_PLAN_MAX ? &gDayPlan.visitPlan[row] : nullptr;
}

static void setVisitor(const VisitPlan& plan, int32_t mode) {
    gCounter.customerType = plan.customerType;
    gCounter.customerIndex = plan.customerIndex;
    gCounter.mode = mode;
}

// The visitor's first line names the item ("<I>"), so its name is ready
// with the item.
static void setVisit(const VisitPlan& plan, int32_t itemKey, int32_t mode) {
    setVisitor(plan, mode);
    gCounter.itemKey = itemKey;
    formatCounterItemName(itemKey);
}

// A row drawn uniformly among the item rows that fit (r mod n, then the
// table is walked to that candidate); -1 when none fits.
template <typename Fits>
static int32_t drawItemRow(Fits fits) {
    int32_t count = 0;
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++) count += fits(gItemDefinitions[r]);
    if (count == 0) return -1;
    int32_t pick = randomInt() % count;
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++) {
        if (fits(gItemDefinitions[r]) && pick-- == 0) return r;
    }
    return -1;
}

// --- buyers -----------------------------------------------------------------

enum BuyerPass { PASS_LIKED, PASS_EQUIPMENT };

struct BuyerWish {
    const VisitPlan* plan;
    const CustomerType* type;
    int32_t budget;
    BuyerPass pass;
};

struct ShelfChoice {
    int32_t shelf;
    int32_t place;
};

static bool skippedPlace(int32_t key) {
    if (key == ITEM_KEY_NONE) return true;
    int32_t id = itemKeyId(key);
    if (isVendingMachine(id)) return true;
    if (!gCounter.questDay) return false;
    for (int32_t quest : QUEST_INGREDIENT_IDS) {
        if (id == quest) return true;
    }
    return false;
}

static bool buyerWants(const BuyerWish& wish, int32_t key, const ItemDefinition& item) {
    if (wish.pass == PASS_EQUIPMENT) {
        int32_t adventurer = wish.plan->customerType - ADVENTURER_TYPE_FIRST;
        const AdventurerRecord& record = runningGameState().adventurers[adventurer];
        for (int32_t slot = 0; slot < EQUIPMENT_SLOTS; slot++) {
            if (record.equipment[slot] != ITEM_KEY_NONE && canEquip(adventurer, slot, key)) return true;
        }
        return false;
    }
    if (gCounter.trendDay) return itemMatchesTrend(item);
    bool liked = (item.categoryFlags & wish.type->likedFlags) != 0 || likesCategory(*wish.type, item.category);
    if (liked && isMaterial(item.id) && randomInt() % 10 != 0) return false;
    return liked;
}

// Shelves 0..14, all shuffled one time in four, else shelves 1..14 shuffled
// behind shelf 0 one time in four.
static void orderShelves(int32_t order[SHELF_ROWS]) {
    for (int32_t s = 0; s < SHELF_ROWS; s++) order[s] = s;
    if (randomInt() % 4 == 0) shuffleArray(order, SHELF_ROWS);
    else if (randomInt() % 4 == 0) shuffleArray(order + 1, SHELF_ROWS - 1);
}

// One pass over the shelves; the first place whose item the visitor wants
// and can afford. While the trading test runs, the last place of the first
// shelf that has any.
static bool findWantedPlace(const BuyerWish& wish, ShelfChoice& choice) {
    const GameState& game = runningGameState();
    int32_t shelves[SHELF_ROWS];
    orderShelves(shelves);
    for (int32_t shelf : shelves) {
        int32_t places[SHELF_CELLS];
        for (int32_t p = 0; p < SHELF_CELLS; p++) places[p] = p;
        shuffleArray(places, SHELF_CELLS);
        bool found = false;
        for (int32_t place : places) {
            int32_t key = game.shelves[shelf][place];
            if (skippedPlace(key)) continue;
            if (gBuySell.enabled) {
                choice = ShelfChoice{shelf, place};
                found = true;
                continue;
            }
            int32_t row = findItemDef(itemKeyId(key));
            if (row < 0) continue;
            const ItemDefinition& item = gItemDefinitions[row];
            if (!buyerWants(wish, key, item)) continue;
            bool showcase = isShowcasePlace(shelf, place);
            int32_t budget = showcase ? static_cast<int32_t>(static_cast<double>(1.2f) * wish.budget) : wish.budget;
            if (budget > item.price) {
                choice = ShelfChoice{shelf, place};
                return true;
            }
        }
        if (found) return true;
    }
    return false;
}

int32_t chooseBuyerItem() {
    const GameState& game = runningGameState();
    VisitPlan* plan = currentPlanRow();
    if (!plan) return 0;
    if (storyFlag(game, FLAG_STORY_TUTORIAL)) {
        setVisit(*plan, makeItemKey(TUTORIAL_WARE_ID, 0, 0), COUNTER_BUYER);
        gCounter.showcaseItem = 0;
        return 1;
    }
    if (storyFlag(game, FLAG_SCRIPTED_DAY)) {
        setVisit(*plan, makeItemKey(SCRIPTED_WARE_ID, 0, 0), COUNTER_BUYER);
        gCounter.showcaseItem = 0;
        for (int32_t place = 0; place < SHELF_CELLS; place++) {
            int32_t key = game.shelves[0][place];
            if (key == ITEM_KEY_NONE || itemKeyId(key) != SCRIPTED_WARE_ID) continue;
            gCounter.showcaseItem = isShowcasePlace(0, place);
            break;
        }
        return 1;
    }
    int32_t type = plan->customerType;
    if (type < 0 || type >= CUSTOMER_TYPE_COUNT) return 0;
    BuyerWish wish{plan, &gCustomerTypes[type], computeCustomerBudget(type, plan->customerIndex), PASS_LIKED};
    // An adventurer sometimes comes for equipment first.
    bool adventurer = type >= ADVENTURER_TYPE_FIRST && type <= ADVENTURER_TYPE_LAST;
    if (adventurer && randomInt() % 5 == 0 && !gCounter.trendDay) wish.pass = PASS_EQUIPMENT;
    ShelfChoice choice{};
    bool found = findWantedPlace(wish, choice);
    if (!found && wish.pass == PASS_EQUIPMENT) {
        wish.pass = PASS_LIKED;
        found = findWantedPlace(wish, choice);
    }
    if (!found) return 0;
    setVisit(*plan, game.shelves[choice.shelf][choice.place], COUNTER_BUYER);
    gCounter.showcaseItem = isShowcasePlace(choice.shelf, choice.place);
    return 1;
}

// --- sellers ----------------------------------------------------------------

// Materials of one grade: 4 from 20 points on, 3 from 10, else 2.
static int32_t drawGradedMaterial(int32_t points) {
    int32_t grade = points >= 20 ? 4 : points >= 10 ? 3 : 2;
    return drawItemRow([grade](const ItemDefinition& d) {
        if (!d.valid || !isMaterial(d.id)) return false;
        for (int8_t mark : d.fa) {
            if (mark / 10 == grade) return true;
        }
        return false;
    });
}

static bool isOfferedDecoration(const ItemDefinition& d, int32_t marketRank) {
    if (!d.valid || d.price <= 1000 || d.marketRank != marketRank) return false;
    if (d.id == SPECIAL_WALL_ID || d.id == SPECIAL_FLOOR_ID || d.id == SPECIAL_RUG_ID) return false;
    return idIn(d.id, 5001, 5050) || idIn(d.id, 5101, 5150) || idIn(d.id, 5301, 5350) || idIn(d.id, 5401, 5450);
}

// The rare decorations first, by the shop's own decoration and storage, else
// a decoration of the market rank the merchant level reaches.
static int32_t drawDecoration(const GameState& game) {
    int32_t special = -1;
    if (game.shopFloor == SPECIAL_FLOOR_PICTURE && game.shopWall == SPECIAL_WALL_PICTURE) {
        const int32_t BY_DRAW[] = {SPECIAL_RUG_ID, SPECIAL_FLOOR_ID, SPECIAL_WALL_ID};
        int32_t r = randomInt() % 6;
        if (r < 3) special = BY_DRAW[r];
    } else if (countItemInStorage(SPECIAL_WALL_ID) > 0 || game.shopWall == SPECIAL_WALL_PICTURE) {
        int32_t r = randomInt() % 4;
        if (r == 0) special = SPECIAL_FLOOR_ID;
        else if (r == 1) special = SPECIAL_WALL_ID;
    } else if (randomInt() % 2 == 1) {
        special = SPECIAL_WALL_ID;
    }
    if (special != -1) return findItemDef(special);
    int32_t level = game.merchantLevel;
    int32_t marketRank = level < 3 ? 2 : level <= 9 ? 3 : 4;
    return drawItemRow([marketRank](const ItemDefinition& d) { return isOfferedDecoration(d, marketRank); });
}

// An item the customer's rank allows: the points' tenth plus one, at most the
// merchant level.
static int32_t drawSellerItem(int32_t points, int32_t merchantLevel) {
    int32_t rank = points / 10 + 1 < merchantLevel ? points / 10 + 1 : merchantLevel;
    return drawItemRow([rank](const ItemDefinition& d) {
        return d.valid && d.price > 0 && d.sellerRank > 0 && d.sellerRank < SELLER_RANKS &&
               SELLER_RANK_LEVELS[d.sellerRank] <= rank;
    });
}

int32_t chooseSellerItem() {
    GameState& game = runningGameState();
    bool tutorial = storyFlag(game, FLAG_STORY_TUTORIAL);
    if (!tutorial && (storageTurnsSellersAway(countStoredItems()) || game.money <= SELLER_MONEY_FLOOR ||
                      gCounter.sellersToday >= SELLERS_PER_PHASE))
        return 0;
    VisitPlan* plan = currentPlanRow();
    if (!plan || plan->customerType == -1) return 0;
    int32_t points = relationPoints(plan->customerIndex);
    int32_t row;
    if (plan->customerType == SELLER_TYPE_FIVEFOLD) {
        row = randomInt() % 2 == 0 ? drawGradedMaterial(points) : drawDecoration(game);
        // A draw that finds nothing brings the first item of the table.
        if (row < 0 && gItemDefinitionCount > 1 && gItemDefinitions[1].valid) row = 1;
    } else {
        row = drawSellerItem(points, game.merchantLevel);
    }
    // No item the seller could bring: no seller.
    if (row < 0) return 0;
    setVisit(*plan, makeItemKey(gItemDefinitions[row].id, 0, 0), COUNTER_SELLER);
    gCounter.sellersToday++;
    if (!tutorial) plan->customerType = -1;
    return 1;
}

// --- request customers ------------------------------------------------------

int32_t pickRequestRow(int32_t customerType, int32_t customerIndex) {
    if (customerType < 0 || customerType >= CUSTOMER_TYPE_COUNT) return -1;
    const CustomerType& type = gCustomerTypes[customerType];
    int32_t points = relationPoints(customerIndex);
    int32_t level = runningGameState().merchantLevel;
    int32_t rank = points / 10 < level ? points / 10 : level;
    auto qualifies = [&](const RequestRow& row) {
        if (gCounter.trendDay) {
            return (gCounter.trendCategoryMask == 0 && row.category == gCounter.trendCategory) ||
                   (row.categoryMask & static_cast<uint32_t>(gCounter.trendCategoryMask)) != 0;
        }
        if (row.rank < 0 || row.rank >= REQUEST_RANKS || REQUEST_RANK_LEVELS[row.rank] > rank) return false;
        return (row.categoryMask & static_cast<uint32_t>(type.likedFlags)) != 0 || likesCategory(type, row.category);
    };
    int32_t rows = gOrderRequestCount < REQUEST_ROW_MAX ? gOrderRequestCount : REQUEST_ROW_MAX;
    int32_t count = 0;
    for (int32_t r = 0; r < rows; r++) count += qualifies(gRequestRows[r]);
    if (count == 0) return -1;
    int32_t pick = randomInt() % count;
    for (int32_t r = 0; r < rows; r++) {
        if (qualifies(gRequestRows[r]) && pick-- == 0) return r;
    }
    return -1;
}

int32_t chooseRequestVisit() {
    if (!storyFlag(runningGameState(), FLAG_REQUESTS)) return 0;
    VisitPlan* plan = currentPlanRow();
    if (!plan || plan->customerType == -1) return 0;
    int32_t row = pickRequestRow(plan->customerType, plan->customerIndex);
    if (row < 0) return 0;
    setVisitor(*plan, COUNTER_REQUEST);
    gCounter.requestRow = row;
    return 1;
}

// --- vending shelves --------------------------------------------------------

static bool isAvailable(const DayCandidate& c) { return c.customerType >= 0 && c.availability != CANDIDATE_AWAY; }

// A candidate who may come today, drawn uniformly; -1 when none.
static int32_t drawAvailableCandidate() {
    int32_t count = 0;
    for (const DayCandidate& c : gDayPlan.dayCandidates) count += isAvailable(c);
    if (count == 0) return -1;
    int32_t pick = randomInt() % count;
    for (int32_t i = 0; i < DAY_CANDIDATE_COUNT; i++) {
        if (isAvailable(gDayPlan.dayCandidates[i]) && pick-- == 0) return i;
    }
    return -1;
}

// One customer at one vending shelf looks at three random stock positions
// and buys at most one item, for less than half its budget.
static bool sellFromVendingShelf(GameState& game, int32_t shelf) {
    int32_t candidate = drawAvailableCandidate();
    if (candidate < 0) return false;
    int32_t limit = computeCustomerBudget(gDayPlan.dayCandidates[candidate].customerType, candidate) / 2;
    int32_t positions[VENDING_POSITIONS];
    for (int32_t i = 0; i < VENDING_POSITIONS; i++) positions[i] = i;
    shuffleArray(positions, VENDING_POSITIONS);
    for (int32_t t = 0; t < VENDING_TRIES; t++) {
        int32_t& entry = game.vendingStock[shelf][positions[t]];
        if (entry == ITEM_KEY_NONE) continue;
        if (isMaterial(itemKeyId(entry)) && randomInt() % 10 != 0) continue;
        if (getTrendForItem(entry) < 0 && randomInt() % 10 != 0) continue;
        int32_t row = findItemDef(itemKeyId(entry));
        if (row < 0 || gItemDefinitions[row].price >= limit) continue;
        int32_t key = entry;
        game.money += gItemDefinitions[row].price;
        logSoldItem(key, 0);
        entry = ITEM_KEY_NONE;
        return true;
    }
    return false;
}

void runVendingSales(int32_t shelfCount) {
    GameState& game = runningGameState();
    int32_t shelves = std::clamp(shelfCount, 0, SHELF_COUNT);
    int32_t order[SHELF_COUNT];
    for (int32_t i = 0; i < SHELF_COUNT; i++) order[i] = i;
    shuffleArray(order, shelves);
    int32_t eager = 0;
    for (const DayCandidate& c : gDayPlan.dayCandidates) eager += isAvailable(c) && c.score > EAGER_SCORE;
    // Half the eager customers, but always at least one vending shelf.
    int32_t tried = 0;
    bool sold = false;
    for (int32_t k = 0; k < shelves; k++) {
        int32_t shelf = order[k];
        if (game.vendingModes[shelf] == 0) continue;
        sold |= sellFromVendingShelf(game, shelf);
        tried++;
        if (eager / 2 <= tried) break;
    }
    if (sold) playSoundEffect(SOUND_MONEY);
}
