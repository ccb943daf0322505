#include "shop/trends.h"

#include <cstdio>
#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "shop/item_db.h"
#include "shop/text_fields.h"
#include "shop/trend_definitions.h"

constexpr int32_t BOOM_REPEATS_MIN = 4;
constexpr int32_t BOOM_REPEATS_MAX = 8;
// By repeats 4, 5, 6, 7 and 8 or more: the chance of a boom, and of a big one.
constexpr int32_t BOOM_CHANCES[] = {10, 25, 50, 80, 100};
constexpr int32_t BIG_BOOM_CHANCES[] = {10, 30, 50, 70, 90};

static const char PRICE_NORMAL_TEXT[] = "The price of %s has normalized.";
static const char BOOM_ENDED_TEXT[] = "The %s boom has ended.";

// The definition a slot names, or null for an empty, inactive or unknown one.
static const TrendDefinition* slotDefinition(int32_t definition) {
    if (definition < 1 || definition > TREND_DEFINITION_MAX) return nullptr;
    return &gTrendDefinitions[definition];
}

static bool inSeason(const TrendDefinition& d, int32_t date) {
    return d.seasonFirst <= date && (date <= d.seasonLast || d.seasonLast == 999);
}

// --- the answer for one item ------------------------------------------------

static bool shopFloorShown() {
    if (gGameMode != GAME_MODE_FIELD || gStageIndex < 0 || gStageIndex >= STAGE_CODE_COUNT) return false;
    return gStages[gStageIndex].stageCode <= SHOP_STAGE_LAST;
}

// The bound item, the definition's item, its category, or its class. The
// special mask of the booms marks a row, not a class: a boom reaches only its
// own item, not every item with a category flag.
static bool slotMatchesItem(const TrendSlot& slot, const TrendDefinition& d, int32_t id, const ItemDefinition* item) {
    if (slot.item > 0 && slot.item == id) return true;
    if (d.item > 0 && d.item == id) return true;
    if (!item) return false;
    if (d.categoryMask < 1 && item->category == d.category) return true;
    return d.categoryMask > 0 && (item->categoryFlags & d.categoryMask) != 0;
}

int32_t getTrendForItem(int32_t itemKey) {
    const GameState& game = runningGameState();
    if (shopFloorShown() && gShopFloorState == SHOP_FLOOR_OPEN && game.storyFlags[FLAG_STORY_TUTORIAL]) return 0;
    int32_t id = itemKeyId(itemKey);
    int32_t row = findItemDef(id);
    const ItemDefinition* item = row >= 0 ? &gItemDefinitions[row] : nullptr;
    int32_t sum = 0;
    bool crashed = false;
    for (const TrendSlot& slot : game.trendSlots) {
        const TrendDefinition* d = slotDefinition(slot.definition);
        if (!d || !slotMatchesItem(slot, *d, id, item) || slot.effect == TREND_NO_PRICE_EFFECT) continue;
        sum += slot.effect;
        if (slot.effect <= -2) crashed = true;
    }
    if (crashed) return -2;
    return sum > 1 ? 1 : sum < -1 ? -1 : sum;
}

int32_t pickTrendDefinition() {
    int32_t date = runningGameState().date;
    if (gTrendDefinitionCount < 1) return -1;
    if (date == TREND_FIRST_TREND_DAY) return 0;
    int32_t count = 0;
    for (int32_t r = 1; r <= gTrendDefinitionCount; r++)
        count += gTrendDefinitions[r].category != TREND_NEWS_ONLY && inSeason(gTrendDefinitions[r], date);
    if (count == 0) return -1;
    int32_t pick = randomInt() % count;
    for (int32_t r = 1; r <= gTrendDefinitionCount; r++) {
        if (gTrendDefinitions[r].category == TREND_NEWS_ONLY || !inSeason(gTrendDefinitions[r], date)) continue;
        if (pick-- == 0) return r - 1;
    }
    return -1;
}

// --- news texts -------------------------------------------------------------

// The next news text, or null when the twenty are written.
static char* nextNewsText(GameState& game) {
    if (game.newsCount < 0 || game.newsCount >= NEWS_COUNT) return nullptr;
    return game.newsTexts[game.newsCount];
}

static void addNews(GameState& game, const char* text) {
    char* news = nextNewsText(game);
    if (!news) return;
    copyTextField(text, text + strlen(text), news, NEWS_TEXT_SIZE);
    game.newsCount++;
}

// The text with every '<' and the two characters after it replaced by the
// name, cut to a news text's size.
static void addNewsNaming(GameState& game, const char* text, const char* name) {
    char* news = nextNewsText(game);
    if (!news) return;
    int32_t n = 0;
    news[0] = 0;
    const char* from = text;
    for (const char* p = text;; p++) {
        if (*p != '<' && *p != 0) continue;
        copyTextField(from, p, news + n, NEWS_TEXT_SIZE - n);
        n += static_cast<int32_t>(strlen(news + n));
        if (*p == 0) break;
        copyTextField(name, name + strlen(name), news + n, NEWS_TEXT_SIZE - n);
        n += static_cast<int32_t>(strlen(news + n));
        for (int32_t k = 0; k < 2 && p[1] != 0; k++) p++;
        from = p + 1;
    }
    game.newsCount++;
}

static void addNewsFormatted(GameState& game, const char* format, const char* name) {
    char text[NEWS_TEXT_SIZE];
    snprintf(text, sizeof text, format, name);
    addNews(game, text);
}

// The second name of the item with this id; looked up by id, whatever the id.
static const char* itemSecondName(int32_t id) {
    int32_t row = id >= 0 ? findItemDef(id) : -1;
    return row >= 0 ? gItemDefinitions[row].name2 : nullptr;
}

// --- the daily steps --------------------------------------------------------

// Both trends target the same class: the same mask when the running one has
// a mask, else the same category.
static bool sameTarget(const TrendDefinition& candidate, const TrendDefinition& running) {
    if (running.categoryMask != 0) return candidate.categoryMask == running.categoryMask;
    return candidate.category == running.category;
}

static bool trendRefused(const GameState& game, int32_t definition) {
    const TrendDefinition& d = gTrendDefinitions[definition];
    if (d.categoryMask == TREND_SPECIAL_MASK) return true;
    if (d.item < 0 && d.categoryMask == 0 && d.category == -1) return true;
    for (const TrendSlot& slot : game.trendSlots) {
        const TrendDefinition* running = slotDefinition(slot.definition);
        if (!running) continue;
        if (slot.definition == definition) return true;
        if (d.effect == 0 && running->effect == 0) return true;
        if (d.effect != 0 && running->effect != 0 && sameTarget(d, *running)) return true;
    }
    return false;
}

static TrendSlot* firstEmptySlot(GameState& game) {
    for (TrendSlot& slot : game.trendSlots) {
        if (slot.definition == 0) return &slot;
    }
    return nullptr;
}

static int8_t storedDays(int32_t days) { return static_cast<int8_t>(days > INT8_MAX ? INT8_MAX : days); }

// A random item the row may bind; null when it admits none.
static const ItemDefinition* drawBoundItem(const TrendDefinition& d) {
    int32_t count = countTrendBoundCandidates(d);
    if (count == 0) return nullptr;
    int32_t pick = randomInt() % count;
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++) {
        if (isTrendBoundCandidate(d, gItemDefinitions[r]) && pick-- == 0) return &gItemDefinitions[r];
    }
    return nullptr;
}

static void refillTrendSlot(GameState& game) {
    TrendSlot* slot = firstEmptySlot(game);
    if (!slot) return;
    int32_t definition = pickTrendDefinition() + 1;
    int32_t refusals = 0;
    while (definition > 0 && refusals < TREND_FILL_TRIES && trendRefused(game, definition)) {
        definition = pickTrendDefinition() + 1;
        refusals++;
    }
    if (definition <= 0 || refusals == TREND_FILL_TRIES) return;

    const TrendDefinition& d = gTrendDefinitions[definition];
    slot->definition = definition;
    slot->effect = static_cast<int8_t>(d.effect == 0 ? TREND_NO_PRICE_EFFECT : d.effect);
    int32_t days = d.duration + (d.durationRandom > 0 ? randomInt() % d.durationRandom : 0) + 1;
    slot->daysLeft = storedDays(days < 2 ? 2 : days);
    slot->item = -1;
    const ItemDefinition* bound = d.boundLow >= 0 ? drawBoundItem(d) : nullptr;
    if (bound) {
        slot->item = bound->id;
        addNewsNaming(game, d.text, bound->name2);
    } else {
        addNews(game, d.text);
    }
}

// The id sold most often among the recent sales (the first to reach the
// highest count wins) and its count; 0 and 0 when there are none.
static int32_t mostRepeatedSale(const GameState& game, int32_t& id) {
    int32_t best = 0;
    id = 0;
    for (const RecentSale& sale : game.recentSales) {
        if (sale.item == 0) continue;
        int32_t count = 0;
        for (const RecentSale& other : game.recentSales) count += other.item == sale.item;
        if (count > best) {
            best = count;
            id = sale.item;
        }
    }
    return best;
}

static int32_t boomChanceIndex(int32_t repeats) {
    return (repeats < BOOM_REPEATS_MAX ? repeats : BOOM_REPEATS_MAX) - BOOM_REPEATS_MIN;
}

static void ageRecentSales(GameState& game) {
    for (RecentSale& sale : game.recentSales) {
        if (sale.item == 0) continue;
        if (sale.days <= 1) sale = RecentSale{0, 0};
        else sale.days--;
    }
}

static void startBoom(GameState& game, int32_t id, int32_t repeats) {
    TrendSlot* slot = firstEmptySlot(game);
    if (!slot) return;
    bool big = randomInt() % 100 < BIG_BOOM_CHANCES[boomChanceIndex(repeats)];
    int32_t definition = big ? TREND_BIG_BOOM_ROW : TREND_BOOM_ROW;
    const TrendDefinition& d = gTrendDefinitions[definition];
    slot->definition = definition;
    slot->effect = static_cast<int8_t>(d.effect);
    slot->daysLeft = static_cast<int8_t>(big ? 2 + randomInt() % 4 : 4 + randomInt() % 3);
    slot->item = id;
    for (RecentSale& sale : game.recentSales) {
        if (sale.item == id) sale = RecentSale{0, 0};
    }
    const char* name = itemSecondName(id);
    addNewsNaming(game, d.text, name ? name : "");
}

// The bound item, else the category of the mask, else the target as written.
static const char* expiredTargetName(const TrendSlot& slot, const TrendDefinition& d) {
    const char* name = slot.item >= 1 ? itemSecondName(slot.item) : nullptr;
    if (name) return name;
    if (d.categoryMask >= 1) return describeItemCategory(d.categoryMask);
    return d.targetName;
}

static void expireTrends(GameState& game) {
    for (TrendSlot& slot : game.trendSlots) {
        if (slot.definition < 1 || slot.daysLeft <= 0) continue;
        if (--slot.daysLeft > 0) continue;
        if (const TrendDefinition* d = slotDefinition(slot.definition)) {
            bool priced = slot.effect != TREND_NO_PRICE_EFFECT && slot.effect != 0;
            addNewsFormatted(game, priced ? PRICE_NORMAL_TEXT : BOOM_ENDED_TEXT, expiredTargetName(slot, *d));
        }
        slot.definition = 0;
    }
}

static void addTownNews(GameState& game) {
    int32_t date = game.date;
    int32_t count = 0;
    for (int32_t r = 1; r <= gTrendDefinitionCount; r++)
        count += gTrendDefinitions[r].category == TREND_NEWS_ONLY && inSeason(gTrendDefinitions[r], date);
    if (count == 0) return;
    int32_t pick = randomInt() % count;
    for (int32_t r = 1; r <= gTrendDefinitionCount; r++) {
        const TrendDefinition& d = gTrendDefinitions[r];
        if (d.category != TREND_NEWS_ONLY || !inSeason(d, date) || pick-- != 0) continue;
        addNews(game, d.text);
        return;
    }
}

static void layOutTicker(GameState& game) {
    int32_t position = 0;
    for (int32_t i = 0; i < game.newsCount && i < NEWS_COUNT; i++) {
        game.newsTickerOffsets[i] = position;
        position += static_cast<int32_t>(strnlen(game.newsTexts[i], NEWS_TEXT_SIZE)) + TREND_NEWS_GAP;
    }
    game.newsTickerLength = position;
}

void advanceMarketDay() {
    GameState& game = runningGameState();
    game.newsCount = 0;
    refillTrendSlot(game);
    int32_t boomId;
    int32_t repeats = mostRepeatedSale(game, boomId);
    bool boom = repeats >= BOOM_REPEATS_MIN && randomInt() % 100 < BOOM_CHANCES[boomChanceIndex(repeats)];
    ageRecentSales(game);
    if (boom && game.merchantLevel > 8) startBoom(game, boomId, repeats);
    expireTrends(game);
    if (game.date >= TREND_FIRST_NEWS_DAY) addTownNews(game);
    layOutTicker(game);
}

void resetNewsAndEvents() {
    gEventReady = 0;
    gEventJustLoaded = 0;
    gPortraitState = 0;
    gShopPartState = 0;
    GameState& game = runningGameState();
    for (TrendSlot& slot : game.trendSlots) {
        slot.definition = -1;
        slot.effect = 0;
        slot.daysLeft = 0;
    }
    game.newsCount = 0;
}
