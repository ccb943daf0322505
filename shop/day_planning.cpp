#include "shop/day_planning.h"

#include <utility>

#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "shop/buysell_table.h"
#include "shop/counter.h"
#include "shop/customer_types.h"
#include "shop/floor_customers.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/story_visits.h"
#include "shop/trend_definitions.h"
#include "shop/trends.h"
#include "shop/visitor_wishes.h"
#include "story/story.h"

// 6/7, 2/3 and 3/7 to single precision: a sum of 7 n liked places scores 6 n
// in a shop of size 1, not one less.
const float SHOP_SIZE_FACTORS[SHOP_SIZE_COUNT] = {1.0f, 6.0f / 7.0f, 2.0f / 3.0f, 3.0f / 7.0f};
// A larger shop draws more visitors as if it held this many more items.
static const int32_t SHOP_SIZE_EXTRA_PLACES[SHOP_SIZE_COUNT] = {0, 3, 4, 5};

DayPlanState gDayPlan;

void shuffleArray(int32_t* values, int32_t n) {
    for (int32_t i = 0; i < n; i++) std::swap(values[i], values[randomInt() % n]);
}

int32_t countPhaseVisitors(const GameState& game) {
    int32_t filled = 0;
    for (const auto& shelf : game.shelves) {
        for (int32_t key : shelf) filled += key != -1;
    }
    int32_t size = game.shopSize >= 0 && game.shopSize < SHOP_SIZE_COUNT ? game.shopSize : 0;
    filled += SHOP_SIZE_EXTRA_PLACES[size];
    int32_t base = randomInt() % 2 + 1 + filled / 4;
    // The single-precision factor times the count, formed in double.
    int32_t visitors = static_cast<int32_t>(static_cast<double>(SHOP_SIZE_FACTORS[size]) * base);
    return visitors < VISITORS_MAX ? visitors : VISITORS_MAX;
}

int32_t countTrendDayVisits(int32_t lineupLength) {
    int32_t visits = 8 + randomInt() % 2;
    return visits < lineupLength ? visits : lineupLength;
}

int32_t getTrendBannerFrame() { return gCounter.trendBannerFrame; }

void resetDayPlan() { gDayPlan = DayPlanState{}; }

// --- the phase's plan ---------------------------------------------------------

constexpr int32_t TUTORIAL_CUSTOMER_TYPE = 1;
constexpr int32_t TUTORIAL_VISITS = 3;
constexpr int32_t SCRIPTED_CUSTOMER_TYPE = 13;
constexpr int32_t GROUP_TYPE_FIRST = 13;   // types 13..17 come as three candidates
constexpr int32_t GROUP_TYPE_LAST = 17;
constexpr int32_t SELLER_ONLY_TYPE = 18;
constexpr int32_t FIRST_PLANNED_TYPE = 2;
constexpr int32_t ATMOSPHERE_WEIGHTS[5] = {0, 25, 40, 55, 100};
constexpr int32_t LINEUP_SCORE = 54;       // above it a candidate walks the shop floor
constexpr int32_t VISITOR_SCORE = 74;      // above it an eager candidate comes to the counter
constexpr int32_t FAVOURITE_BONUS = 100;
constexpr int32_t FAVOURITE_TRIES = 100;
constexpr int32_t TREND_FLOOD_COPIES = 16;
constexpr int32_t TREND_COUNT_BASE = 8;
constexpr int32_t ORDER_DAYS_SHORT = 4;    // survival and endless play
constexpr int32_t ORDER_LAST_DAY = 35;   // story orders fall due by this day
constexpr int32_t ORDER_LEVEL = 5;         // above it orders are placed one phase in two
constexpr int32_t SHOWCASE_WEIGHT = 3;
static const int32_t SIZE_INTEREST_BONUS[SHOP_SIZE_COUNT] = {0, 3, 6, 10};

static bool flagIs1(int32_t n) { return runningGameState().storyFlags[n] == 1; }
static bool inRange(int32_t v, int32_t first, int32_t last) { return v >= first && v <= last; }
static int32_t shopSizeOf(const GameState& game) {
    return game.shopSize >= 0 && game.shopSize < SHOP_SIZE_COUNT ? game.shopSize : 0;
}

int32_t rateCustomerInterest(const CustomerType& type) {
    const GameState& game = runningGameState();
    int32_t sum = 0;
    for (int32_t s = 0; s < SHELF_ROWS; s++) {
        for (int32_t p = 0; p < SHELF_CELLS; p++) {
            int32_t key = game.shelves[s][p];
            if (key == ITEM_KEY_NONE) continue;
            int32_t row = findItemDef(itemKeyId(key));
            if (row < 0) continue;
            const ItemDefinition& item = gItemDefinitions[row];
            int32_t value = (item.categoryFlags & type.likedFlags) != 0 ? 2 : 0;
            for (int32_t i = 0; i < type.likedCount && i < CUSTOMER_LIKED_MAX; i++) value += type.likedCategories[i] == item.category ? 4 : 0;
            if (isShowcasePlace(s, p)) value *= SHOWCASE_WEIGHT;
            sum += value;
        }
    }
    int32_t size = shopSizeOf(game);
    if (size == 0) return sum;
    return static_cast<int32_t>(static_cast<double>(SHOP_SIZE_FACTORS[size]) * sum) + SIZE_INTEREST_BONUS[size];
}

// The day's lineup and visitor list while they are built.
struct DayLists {
    int32_t lineupCount;
    int32_t visitors[DAY_CANDIDATE_COUNT];   // candidate rows
    int32_t visitorCount;
    bool used[DAY_CANDIDATE_COUNT];
};

static void addLineup(DayLists& lists, int32_t type) {
    if (lists.lineupCount < DAY_LINEUP_MAX) gDayPlan.dayLineup[lists.lineupCount++] = type;
}

static bool addPlanRow(int32_t type, int32_t index, int32_t kind, int32_t requestRow, int32_t quantity, int32_t days) {
    if (gDayPlan.visitPlanCount >= VISIT_PLAN_MAX) return false;
    gDayPlan.visitPlan[gDayPlan.visitPlanCount++] = VisitPlan{type, index, kind, requestRow, quantity, days};
    return true;
}

static void resetPhase() {
    CounterState& c = gCounter;
    // The trend, the lesson and what the counter showed last carry over; the
    // rest of the counter starts afresh.
    CounterState kept = c;
    c = CounterState{};
    c.trendItem = kept.trendItem;
    c.trendCategory = kept.trendCategory;
    c.trendCategoryMask = kept.trendCategoryMask;
    c.trendCustomerType = kept.trendCustomerType;
    c.tutorialLesson = kept.tutorialLesson;
    c.customerType = kept.customerType;
    c.customerIndex = kept.customerIndex;
    c.itemKey = kept.itemKey;
    c.adventurerTargetSlot = kept.adventurerTargetSlot;
    listAvailableAdventurers();
    closeItemInfo();
    c.shopOpening = 1;
    c.mode = -1;
    c.orderCursor = 1;
    c.orderPick = ITEM_KEY_NONE;
    c.rememberedPrice = -1;
    for (OrderSlot& slot : c.orderSlots) slot = OrderSlot{ITEM_KEY_NONE, -1, 0};
    for (int32_t r = 0; r < VISIT_PLAN_MAX; r++) gDayPlan.visitPlan[r] = VisitPlan{-1, r, VISIT_EMPTY, 0, 0, 0};
    gDayPlan.visitPlanCount = 0;
    for (int32_t i = 0; i < VISIT_ORDER_SIZE; i++) gDayPlan.visitOrder[i] = i;
    for (int32_t& type : gDayPlan.dayLineup) type = -1;
}

// A showcase place holds one of the items the story's sixth adventurer asks about.
static bool showcaseHasQuestItem() {
    const GameState& game = runningGameState();
    for (int32_t place : SHOWCASE_PLACES) {
        int32_t key = game.shelves[0][place];
        if (key == ITEM_KEY_NONE) continue;
        int32_t id = itemKeyId(key);
        if (inRange(id, 4001, 4006) || id == 4011 || id == 4016 || inRange(id, 4025, 4034)) return true;
    }
    return false;
}

// Step 4: on a trend day the first announced trend's group floods the shop
// when enough of its items are on the shelves.
static void planTrendDay() {
    CounterState& c = gCounter;
    GameState& game = runningGameState();
    c.trendBannerFrame = 0;
    c.trendDay = 0;
    if (game.trendDayHeld) return;
    for (const TrendSlot& slot : game.trendSlots) {
        if (slot.definition <= 0 || slot.definition > gTrendDefinitionCount || slot.definition > TREND_DEFINITION_MAX)
            continue;
        if (slot.effect != 0 && slot.effect != TREND_NO_PRICE_EFFECT) continue;
        const TrendDefinition& def = gTrendDefinitions[slot.definition];
        c.trendCustomerType = def.customerType;
        c.trendItem = def.item;
        c.trendCategory = def.category;
        c.trendCategoryMask = def.categoryMask;
        if (slot.item >= 0) {
            c.trendItem = slot.item;
            if (slot.effect == TREND_NO_PRICE_EFFECT && slot.item > 10) c.trendItem = findItemDef(slot.item);
        }
        int32_t count = 0;
        for (int32_t s = 0; s < SHELF_ROWS; s++) {
            for (int32_t p = 0; p < SHELF_CELLS; p++) {
                int32_t key = game.shelves[s][p];
                if (key == ITEM_KEY_NONE) continue;
                int32_t id = itemKeyId(key);
                if (inRange(id, 5201, 5299)) continue;
                int32_t row = findItemDef(id);
                if (row < 0 || !itemMatchesTrend(gItemDefinitions[row])) continue;
                count += isShowcasePlace(s, p) ? SHOWCASE_WEIGHT : 1;
            }
        }
        if (count > TREND_COUNT_BASE + randomInt() % 8) {
            c.trendDay = 1;
            game.trendDayHeld = 1;
        }
        return;
    }
}

// The story's rules for one customer type, from the eager default.
static int32_t storyAvailability(int32_t type) {
    GameState& game = runningGameState();
    int32_t a = CANDIDATE_EAGER;
    switch (type) {
    case 2:
        a = storyFlag(59) ? CANDIDATE_EAGER : CANDIDATE_AWAY;
        if (flagIs1(152) && !storyFlag(153)) a = CANDIDATE_CERTAIN;
        break;
    case 3: a = storyFlag(69) ? a : CANDIDATE_AWAY; break;
    case 19: a = storyFlag(160) ? a : CANDIDATE_AWAY; break;
    case 20: a = storyFlag(161) ? a : CANDIDATE_AWAY; break;
    case 6:
        a = CANDIDATE_AWAY;
        if (storyFlag(140) && !storyFlag(142) && showcaseHasQuestItem()) {
            a = CANDIDATE_CERTAIN;
            setStoryFlag(141);
        }
        if (flagIs1(142)) a = CANDIDATE_EAGER;
        break;
    case 7:
        a = CANDIDATE_AWAY;
        if (flagIs1(123)) a = flagIs1(124) ? CANDIDATE_EAGER : storyFlag(124) ? CANDIDATE_AWAY : CANDIDATE_CERTAIN;
        break;
    case 8:
        a = CANDIDATE_AWAY;
        if ((flagIs1(151) && !storyFlag(152)) || (flagIs1(159) && !storyFlag(162))) a = CANDIDATE_CERTAIN;
        if (flagIs1(162)) a = CANDIDATE_EAGER;
        break;
    case 9:
        a = CANDIDATE_AWAY;
        if (flagIs1(166)) a = CANDIDATE_CERTAIN;
        if (flagIs1(167)) a = CANDIDATE_EAGER;
        if (flagIs1(171)) a = flagIs1(184) ? CANDIDATE_EAGER : CANDIDATE_AWAY;
        break;
    case SELLER_ONLY_TYPE: a = flagIs1(163) ? CANDIDATE_EAGER : CANDIDATE_AWAY; break;
    case 5: a = storyFlag(118) ? CANDIDATE_EAGER : CANDIDATE_AWAY; break;
    case 4:
        a = CANDIDATE_AWAY;
        if (game.merchantLevel >= 6 && storyFlag(57)) setStoryFlag(128);
        if (flagIs1(128)) a = CANDIDATE_CERTAIN;
        if (flagIs1(FLAG_QUEST_GIVEN)) {
            a = CANDIDATE_AWAY;
            int32_t q = checkQuestIngredients();
            if (q >= 2) {
                a = CANDIDATE_CERTAIN;
                gCounter.questDay = 1;
            } else if (q == 1 && game.date - game.storyFlags[FLAG_QUEST_GIVEN_DATE] >= 2 && randomInt() % 4 == 0) {
                a = CANDIDATE_CERTAIN;
            }
        }
        if (flagIs1(FLAG_QUEST_PAID)) a = CANDIDATE_EAGER;
        break;
    default: break;
    }
    return a;
}

// In survival play the last run's summaries let the adventurers and a few
// others come.
static int32_t survivalAvailability(int32_t type, int32_t a) {
    const GameState& game = runningGameState();
    if (inRange(type, 2, 9)) return storyFlag(FLAG_RUN_SUMMARY_FIRST + type - 2) ? a : CANDIDATE_AWAY;
    if (type == 19 || type == 20) return storyFlag(FLAG_RUN_SUMMARY_FIRST + 8) ? a : CANDIDATE_AWAY;
    if (type == SELLER_ONLY_TYPE) return game.merchantLevel >= 1 && storyFlag(FLAG_RUN_SUMMARY_FIRST + 9) ? a : CANDIDATE_AWAY;
    return a;
}

static int32_t addCandidate(int32_t& rows, int32_t type, int32_t availability, int32_t score, int32_t isExtra) {
    if (rows >= DAY_CANDIDATE_COUNT) return -1;
    gDayPlan.dayCandidates[rows] = DayCandidate{type, availability, score, isExtra};
    return rows++;
}

// Step 5: one candidate row per present customer type (three for the group
// types), its availability by the atmosphere, the time of day and the story.
static int32_t buildCandidates() {
    GameState& game = runningGameState();
    for (CustomerRelation& r : game.customerRelations) {
        if (r.points < 0) r.points = 0;
    }
    for (DayCandidate& c : gDayPlan.dayCandidates) c = DayCandidate{-1, CANDIDATE_AWAY, 0, 0};
    int32_t rows = 0;
    for (int32_t t = FIRST_PLANNED_TYPE; t < CUSTOMER_TYPE_COUNT; t++) {
        const CustomerType& type = gCustomerTypes[t];
        if (!type.present) continue;
        bool group = inRange(t, GROUP_TYPE_FIRST, GROUP_TYPE_LAST);
        bool active = game.dayPhase >= 0 && game.dayPhase < 31 && ((type.activeTimes >> game.dayPhase) & 1) != 0;
        int32_t match = rateAtmosphereMatch(type.attrB, type.attrA);
        if (match < 0 || !active) {
            addCandidate(rows, t, CANDIDATE_AWAY, 0, 0);
            if (group) {
                addCandidate(rows, t, CANDIDATE_AWAY, 0, 1);
                addCandidate(rows, t, CANDIDATE_AWAY, 0, 1);
            }
            continue;
        }
        int32_t weight = ATMOSPHERE_WEIGHTS[match > 4 ? 4 : match];
        int32_t availability = game.playMode == PLAY_MODE_SURVIVAL ? survivalAvailability(t, CANDIDATE_EAGER)
                                                                   : storyAvailability(t);
        int32_t interest = rateCustomerInterest(type);
        if (storyFlag(FLAG_NO_TOWNSFOLK) && inRange(t, 11, 29)) {
            addCandidate(rows, t, CANDIDATE_AWAY, interest + weight, 0);
            continue;
        }
        int32_t first = addCandidate(rows, t, availability, interest + weight, 0);
        if (!group || first < 0) continue;
        for (int32_t extra = 1; extra <= 2; extra++) {
            int32_t row = addCandidate(rows, t, CANDIDATE_EAGER, interest + weight - 10 * extra, 1);
            // The extra rows take the first one's points; their own level,
            // which never rises, stays.
            if (row >= 0 && row < CUSTOMER_RELATION_COUNT && first < CUSTOMER_RELATION_COUNT)
                game.customerRelations[row].points = game.customerRelations[first].points;
        }
    }
    return rows;
}

// Step 6: a falling bonus, shuffled over the candidates.
static void jitterScores(int32_t rows) {
    int32_t bonus[DAY_CANDIDATE_COUNT];
    for (int32_t k = 0; k < DAY_CANDIDATE_COUNT; k++) bonus[k] = 45 + randomInt() % 3 - 5 * k;
    shuffleArray(bonus, rows);
    for (int32_t k = 0; k < rows; k++) {
        if (gDayPlan.dayCandidates[k].availability != CANDIDATE_AWAY) gDayPlan.dayCandidates[k].score += bonus[k];
    }
}

static bool isDueOrder(const OrderRecord& order) { return order.active && order.daysLeft <= 0; }

// Step 7: the orders due today or overdue come for them alone.
static void planDueOrders(DayLists& lists) {
    for (const OrderRecord& order : runningGameState().orders) {
        if (!isDueOrder(order)) continue;
        int32_t index = order.customerIndex;
        int32_t type = -1;
        if (index >= 0 && index < DAY_CANDIDATE_COUNT) {
            gDayPlan.dayCandidates[index].availability = CANDIDATE_AWAY;
            type = gDayPlan.dayCandidates[index].customerType;
        }
        int32_t kind = order.daysLeft == 0 ? VISIT_ORDER_DUE : VISIT_ORDER_OVERDUE;
        addPlanRow(type, index, kind, order.requestRow, order.quantity, order.daysLeft);
        addLineup(lists, type);
    }
}

// Step 8: one available candidate drawn at random is today's favourite.
static void pickFavourite() {
    for (int32_t t = 0; t < FAVOURITE_TRIES; t++) {
        DayCandidate& c = gDayPlan.dayCandidates[randomInt() % DAY_CANDIDATE_COUNT];
        if (c.availability == CANDIDATE_CERTAIN || c.availability == CANDIDATE_EAGER) {
            c.score += FAVOURITE_BONUS;
            return;
        }
    }
}

static void addVisitor(DayLists& lists, int32_t row) {
    if (lists.visitorCount < DAY_CANDIDATE_COUNT) lists.visitors[lists.visitorCount++] = row;
}

// Step 9 on a trend day: the flooding group's copies, and a few who come
// along with it.
static int32_t trendCopies(const DayCandidate& c) {
    int32_t flood = gCounter.trendCustomerType;
    if (c.customerType == flood) return TREND_FLOOD_COPIES;
    bool eager = c.availability == CANDIDATE_EAGER;
    if ((c.customerType == 2 || c.customerType == 6 || c.customerType == 4) && flood == 14 && eager) return 1;
    if ((c.customerType == 19 || c.customerType == 5) && flood == 17 && eager) return 1;
    if (c.customerType == 11 && randomInt() % 4 == 0) return 1;
    return 0;
}

static int32_t fillLineup(DayLists& lists, int32_t visitors) {
    if (!gCounter.trendDay) {
        for (int32_t r = 0; r < DAY_CANDIDATE_COUNT; r++) {
            const DayCandidate& c = gDayPlan.dayCandidates[r];
            if ((c.availability > 0 && c.score > LINEUP_SCORE) || c.availability == CANDIDATE_CERTAIN) addLineup(lists, c.customerType);
            if (c.availability == CANDIDATE_EAGER && c.score > VISITOR_SCORE) addVisitor(lists, r);
        }
    } else {
        int32_t copies = 0;
        for (int32_t r = 0; r < DAY_CANDIDATE_COUNT; r++) {
            const DayCandidate& c = gDayPlan.dayCandidates[r];
            if (c.customerType < 0) continue;
            for (int32_t n = trendCopies(c); n > 0; n--) {
                addLineup(lists, c.customerType);
                if (copies < DAY_LINEUP_MAX) {
                    addVisitor(lists, r);
                    copies++;
                }
            }
        }
        visitors = countTrendDayVisits(lists.lineupCount);
    }
    shuffleArray(gDayPlan.dayLineup, lists.lineupCount);
    gDayPlan.dayLineup[lists.lineupCount] = DAY_LINEUP_END;
    return visitors;
}

static int32_t visitorType(const DayLists& lists, int32_t v) { return gDayPlan.dayCandidates[lists.visitors[v]].customerType; }

static bool hasActiveOrder(int32_t customerIndex) {
    for (const OrderRecord& order : runningGameState().orders) {
        if (order.active && order.customerIndex == customerIndex) return true;
    }
    return false;
}

// Step 11: an advance order or two is placed by the first visitor who has
// none running, as far as free order records allow.
static void planOrderPlacements(DayLists& lists) {
    const GameState& game = runningGameState();
    bool shortDays = game.playMode == PLAY_MODE_SURVIVAL || game.playMode == PLAY_MODE_ENDLESS;
    int32_t daysLimit = shortDays ? ORDER_DAYS_SHORT : ORDER_LAST_DAY - game.date;
    if (!(shortDays || ORDER_LAST_DAY - game.date > 1) || gCounter.trendDay) return;
    if (!((randomInt() % 2 == 0 && game.merchantLevel > ORDER_LEVEL) || storyFlag(FLAG_ORDER_DAY))) return;
    int32_t placements = storyFlag(FLAG_ORDER_DAY) ? 2 : 1;
    // A placement needs a free order record to be kept in.
    int32_t freeRecords = 0;
    for (const OrderRecord& order : game.orders) freeRecords += order.active == 0 || isDueOrder(order);   // due ones close below
    if (placements > freeRecords) placements = freeRecords;
    for (int32_t p = 0; p < placements; p++) {
        for (int32_t v = 0; v < lists.visitorCount; v++) {
            int32_t type = visitorType(lists, v);
            int32_t index = lists.visitors[v];
            if (lists.used[v] || type < 0 || type == SELLER_ONLY_TYPE || hasActiveOrder(index)) continue;
            int32_t points = game.customerRelations[index].points;
            int32_t quantity = 2;
            if (points >= 150) quantity += randomInt() % 4;
            else if (points >= 100) quantity += randomInt() % 3;
            else if (points >= 50) quantity += randomInt() % 2;
            int32_t days = 2 + randomInt() % 2;
            if (days > daysLimit) days = daysLimit;
            int32_t request = pickRequestRow(type, index);
            if (request >= 0 && addPlanRow(type, index, VISIT_ORDER_PLACE, request, quantity, days)) lists.used[v] = true;
            break;
        }
    }
}

static int32_t addSeller(DayLists& lists, int32_t v) {
    int32_t type = visitorType(lists, v);
    int32_t index = lists.visitors[v];
    if (pickRequestRow(type, index) < 0 || !addPlanRow(type, index, VISIT_SELL, 0, 0, 0)) return 0;
    lists.used[v] = true;
    return 1;
}

// Step 12: buyers up to the day's count, then the sellers.
static void planBuyersAndSellers(DayLists& lists, int32_t buyersWanted, int32_t sellersWanted) {
    int32_t buyers = 0;
    for (int32_t v = 0; v < lists.visitorCount && buyers < buyersWanted; v++) {
        int32_t type = visitorType(lists, v);
        if (lists.used[v] || type < 0 || type == SELLER_ONLY_TYPE) continue;
        if (!addPlanRow(type, lists.visitors[v], VISIT_BUY, 0, 0, 0)) break;
        lists.used[v] = true;
        buyers++;
        if (storyFlag(FLAG_ONE_BUYER)) break;
    }
    int32_t sellers = 0;
    for (int32_t v = 0; v < lists.visitorCount; v++) {
        if (!lists.used[v] && visitorType(lists, v) == SELLER_ONLY_TYPE) sellers += addSeller(lists, v);
    }
    for (int32_t v = 0; v < lists.visitorCount && sellers < sellersWanted; v++) {
        if (!lists.used[v] && visitorType(lists, v) >= 0) sellers += addSeller(lists, v);
    }
}

void beginShopDay() {
    GameState& game = runningGameState();
    CounterState& c = gCounter;
    resetPhase();
    int32_t visitors = countPhaseVisitors(game);
    if (storyFlag(FLAG_SCRIPTED_DAY) && storyFlag(FLAG_STORY_TUTORIAL)) game.storyFlags[FLAG_STORY_TUTORIAL] = 0;
    if (storyFlag(FLAG_STORY_TUTORIAL)) {
        c.tutorialMode = 1;
        for (int32_t r = 0; r < TUTORIAL_VISITS; r++) addPlanRow(TUTORIAL_CUSTOMER_TYPE, r, VISIT_BUY, 0, 0, 0);
    } else if (storyFlag(FLAG_SCRIPTED_DAY)) {
        addPlanRow(SCRIPTED_CUSTOMER_TYPE, 0, VISIT_BUY, 0, 0, 0);
        gDayPlan.dayLineup[0] = SCRIPTED_CUSTOMER_TYPE;
        gDayPlan.dayLineup[1] = DAY_LINEUP_END;
        setCustomerLineup(gDayPlan.dayLineup);
    } else if (gBuySell.enabled) {
        addPlanRow(gBuySell.customerType, 0, gBuySell.tradingMode == 1 ? VISIT_SELL : VISIT_BUY, 0, 0, 0);
    } else {
        planTrendDay();
        int32_t rows = buildCandidates();
        jitterScores(rows);
        DayLists lists{};
        planDueOrders(lists);
        pickFavourite();
        visitors = fillLineup(lists, visitors);
        shuffleArray(lists.visitors, lists.visitorCount);
        int32_t r = randomInt();
        int32_t sellers = lists.visitorCount > 4 ? r % 2 + (lists.visitorCount - 4) / 2 : r % 2;
        if (!storyFlag(FLAG_SELLERS) || c.trendDay) sellers = 0;
        planOrderPlacements(lists);
        planBuyersAndSellers(lists, visitors, sellers);
        shuffleArray(gDayPlan.visitOrder, gDayPlan.visitPlanCount);
        setCustomerLineup(gDayPlan.dayLineup);
        for (OrderRecord& order : game.orders) {
            if (isDueOrder(order)) order.active = 0;
        }
    }
    startPortraitLoader(0);
}
