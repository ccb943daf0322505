#include "shop/negotiation.h"
#include "engine/story_flags.h"

#include <cmath>

#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "field/field.h"
#include "shop/counter.h"
#include "shop/customer_types.h"
#include "shop/day_planning.h"
#include "shop/item_db.h"
#include "shop/storage.h"
#include "shop/trends.h"

constexpr int32_t RECENT_SALES_FROM_DAY = 9;
constexpr int32_t EFFECT_SET_DAY_SCORE = 100;   // the score's sparkle

// trunc(factor × price): the single-precision factor and the price, in double.
static int32_t scaled(float factor, int32_t price) {
    return static_cast<int32_t>(static_cast<double>(factor) * price);
}

// An intermediate kept in single precision.
static float stored(double value) { return static_cast<float>(value); }


static const CustomerType& counterCustomer() {
    int32_t type = gCounter.customerType;
    return gCustomerTypes[type >= 0 && type < CUSTOMER_TYPE_COUNT ? type : 0];
}

static CustomerRelation* counterRelation(GameState& game) {
    int32_t index = gCounter.customerIndex;
    if (index < 0 || index >= CUSTOMER_RELATION_COUNT) return nullptr;
    return &game.customerRelations[index];
}

// The base price moved by the item's trend: up to 2.5 times in demand, about
// half out of favour, about a third crashed.
static void setReference() {
    int32_t base = gCounter.basePrice;
    int32_t trend = getTrendForItem(gCounter.itemKey);
    int32_t reference = base;
    if (trend >= 1) reference = scaled(0.5f * randomUnit() + 2.0f, base);
    else if (trend <= -2) reference = scaled(0.1f * randomUnit() + 0.35f, base);
    else if (trend == -1) reference = scaled(0.1f * randomUnit() + 0.45f, base);
    gCounter.reference = reference;
}

// The first offer in percent of the reference, spread by up to
// firstOfferSpread either way.
static float firstOfferPercent(const CustomerType& type) {
    float percent = static_cast<float>(type.firstOffer);
    int32_t spread = type.firstOfferSpread;
    if (spread > 0) percent += static_cast<float>(randomInt() % (2 * spread + 1) - spread);
    return percent;
}

// How far the customer moves toward the player's price, in percent: above 2,
// a draw between half the concession and just below the whole.
static int32_t concessionPercent(const CustomerType& type) {
    int32_t c = type.concession;
    if (c > 2) c = randomInt() % (c / 2) + c / 2;
    return c;
}

// The rise of a later round: rise1 in round 2, rise2 in the others.
static float roundRise(const CustomerType& type, int32_t reference) {
    int32_t step = gCounter.round == 2 ? type.rise1 : type.rise2;
    return stored(static_cast<double>(step) * reference / 100.0);
}

void updateBuyerOffer() {
    CounterState& c = gCounter;
    const CustomerType& type = counterCustomer();
    if (c.round == 0) {
        setReference();
        c.limit = scaled(randomUnit() + 2.0f, c.reference);
        float percent = firstOfferPercent(type);
        c.offer = static_cast<int32_t>(static_cast<double>(c.reference) * percent / 100.0);
        c.target = scaled(0.1f * randomUnit() + 1.0f, c.reference);
    } else {
        c.offer += static_cast<int32_t>(roundRise(type, c.reference));
        int32_t concession = concessionPercent(type);
        float gain = stored(static_cast<double>(c.counterPrice - c.offer) * concession / 100.0);
        float cap = stored(static_cast<double>(0.5f) * c.basePrice);
        if (gain > cap) gain = cap;
        if (gain > 0) c.offer += static_cast<int32_t>(gain);
        if (storyFlag(runningGameState(), FLAG_SCRIPTED_DAY)) c.offer = scaled(1.5f, c.reference);
    }
    c.round++;
}

void updateSellerAsk() {
    CounterState& c = gCounter;
    const CustomerType& type = counterCustomer();
    if (c.round == 0) {
        setReference();
        if (c.customerType == SELLER_TYPE_FIVEFOLD) {
            c.reference = scaled(5.0f, c.reference);
            c.counterPrice = scaled(5.0f, c.counterPrice);
        }
        c.limit = scaled(0.1f * randomUnit() + 0.2f, c.reference);
        float percent = firstOfferPercent(type);
        // An ask of (165 - f) % of the reference.
        float askPercent = 65.0f - (percent - 100.0f);
        c.offer = static_cast<int32_t>(static_cast<double>(c.reference) * askPercent / 100.0);
        c.target = scaled(0.1f * randomUnit() + 0.65f, c.reference);
    } else {
        c.offer -= static_cast<int32_t>(stored(static_cast<double>(c.basePrice) * (0.03f * randomUnit() + 0.05f)));
        c.offer -= static_cast<int32_t>(roundRise(type, c.reference));
        int32_t concession = concessionPercent(type);
        float gain = stored(static_cast<double>(c.counterPrice - c.offer) * concession / 100.0);
        if (gain < 0) c.offer += static_cast<int32_t>(gain);
    }
    c.round++;
}

CounterAnswer answerCounterPrice(bool seller, int32_t price, int32_t offer, int32_t limit) {
    if (seller) {
        if (price >= offer) return ANSWER_DEAL;
        return price > limit ? ANSWER_COUNTER_OFFER : ANSWER_WALK_OUT;
    }
    if (offer >= price) return ANSWER_DEAL;
    return price >= limit ? ANSWER_WALK_OUT : ANSWER_COUNTER_OFFER;
}

int32_t judgePrice() {
    int32_t target = gCounter.target;
    int32_t price = gCounter.counterPrice;
    int32_t perfectHigh = scaled(1.005f, target);
    int32_t perfectLow = static_cast<int32_t>(target * 0.995);
    int32_t nearHigh = scaled(1.05f, target);
    int32_t nearLow = static_cast<int32_t>(target * 0.95);
    // Small targets: only the top of the band is perfect.
    if (target < 110) perfectLow = perfectHigh;
    if (price >= perfectLow && price <= perfectHigh) return JUDGED_PERFECT;
    if (price >= nearLow && price <= nearHigh) return JUDGED_NEAR;
    return JUDGED_PLAIN;
}

static void addBonusRow(int32_t kind, int32_t value) {
    CounterState& c = gCounter;
    c.bonusKinds[c.bonusRowCount] = kind;
    c.bonusValues[c.bonusRowCount] = value;
    c.bonusRowCount++;
}

void awardDealBonus() {
    CounterState& c = gCounter;
    c.bonusRowCount = 0;
    c.bonusTimer = 1;
    for (int32_t& anim : c.bonusAnim) anim = 0;
    c.combo = c.round == 1 ? c.combo + 1 : 0;
    int32_t total = 10;
    switch (judgePrice()) {
    case JUDGED_PERFECT:
        total = 30;
        addBonusRow(BONUS_PERFECT, total);
        break;
    case JUDGED_NEAR:
        total = 15;
        addBonusRow(BONUS_NEAR, total);
        break;
    default: break;
    }
    if (c.combo > 0) {
        int32_t value = c.combo >= 7 ? COMBO_BONUS_MAX : 1 << c.combo;
        addBonusRow(BONUS_COMBO, value);
        total += value;
    }
    addBonusRow(BONUS_TOTAL, total);
}

int32_t raiseCustomerLevel() {
    CustomerRelation* relation = counterRelation(runningGameState());
    if (!relation || gDayPlan.dayCandidates[gCounter.customerIndex].isExtra) return 0;
    int32_t level = relation->points / 10;
    if (relation->level >= level || relation->level >= RELATION_LEVEL_MAX) return 0;
    relation->level = static_cast<int16_t>(level < RELATION_LEVEL_MAX ? level : RELATION_LEVEL_MAX);
    return 1;
}

int32_t getCustomerAttitude() {
    GameState& game = runningGameState();
    if (storyFlag(game, FLAG_STORY_TUTORIAL)) return 3;
    const CustomerRelation* relation = counterRelation(game);
    int32_t level = relation ? relation->level : 0;
    if (level <= 0) return 2;
    return level <= 4 ? 3 : 4;
}

int32_t computeCustomerBudget(int32_t customerType, int32_t customerIndex) {
    if (customerType < 0 || customerType >= CUSTOMER_TYPE_COUNT) return 0;
    const CustomerType& type = gCustomerTypes[customerType];
    int32_t points = customerIndex >= 0 && customerIndex < CUSTOMER_RELATION_COUNT
                         ? runningGameState().customerRelations[customerIndex].points
                         : 0;
    int32_t rank = points / 10 < 10 ? points / 10 : 10;
    int64_t range = static_cast<int64_t>(type.budgetMax) - type.budgetMin;
    return type.budgetMin + static_cast<int32_t>(range * rank / 10);
}

void updatePriceReputation(int32_t direction) {
    GameState& game = runningGameState();
    int32_t price = gCounter.counterPrice;
    int32_t base = gCounter.basePrice;
    int32_t difference = price - base;
    // The root of the difference held in single precision, signed like it.
    int32_t root = 0;
    if (difference > 0) root = static_cast<int32_t>(std::sqrt(static_cast<double>(static_cast<float>(difference))));
    else if (difference < 0) root = -static_cast<int32_t>(std::sqrt(static_cast<double>(static_cast<float>(-difference))));
    // The percentage above the base price: the quotient in single precision,
    // the rest in double (38 over 25 gives 51, where all-float would give
    // 52). An item without a base price has none.
    int32_t percent = 0;
    if (base != 0) {
        float ratio = static_cast<float>(price) / static_cast<float>(base);
        percent = static_cast<int32_t>((static_cast<double>(ratio) - 1.0) * 100.0);
    }
    if (direction == PRICE_SOLD) game.dayScore += percent + root;
    else game.dayScore -= percent + root;
    // The score's sparkle flies to the merchant gauge.
    if (!gSEasyDisp)
        spawnScreenEffectSet(304.0f, 128.0f, EFFECT_SET_DAY_SCORE, 1.0f, EFFECT_LIFETIME_DEFAULT, EFFECT_ATTACH_GAUGE);
    playSoundEffect(SOUND_ITEM_SHOWN);
    playSoundEffect(SOUND_DAY_SCORE_CHIME);
}

void recordPriceExtremes() {
    int32_t row = findItemDef(itemKeyId(gCounter.itemKey));
    if (row < 0 || row >= PRICE_RECORD_COUNT) return;
    PriceRecord& record = runningGameState().priceRecords[row];
    int32_t price = gCounter.counterPrice;
    if (price > record.highest) record.highest = price;
    if (record.lowest == 0 || price < record.lowest) record.lowest = price;
}

void logSoldItem(int32_t itemKey, int32_t list) {
    if (itemKey < 0 || list < 0 || list >= DAY_LOG_COUNT) return;
    GameState& game = runningGameState();
    for (int32_t& entry : game.dayLogs[list]) {
        if (entry != ITEM_KEY_NONE) continue;
        entry = itemKey;
        game.dayLogCounts[list]++;
        break;
    }
    if (list != 0 || gCounter.trendDay || game.date < RECENT_SALES_FROM_DAY) return;
    for (RecentSale& sale : game.recentSales) {
        if (sale.item != 0) continue;
        sale.item = static_cast<uint16_t>(itemKeyId(itemKey));
        sale.days = RECENT_SALE_DAYS;
        break;
    }
}

void takeItemFromShelves(int32_t itemKey, int32_t& slot, int32_t& shelf) {
    GameState& game = runningGameState();
    for (int32_t s = 0; s < SHELF_ROWS; s++) {
        for (int32_t p = 0; p < SHELF_CELLS; p++) {
            if (game.shelves[s][p] != itemKey) continue;
            game.shelves[s][p] = ITEM_KEY_NONE;
            slot = p;
            shelf = s;
            return;
        }
    }
}

// --- adventurer customers ---------------------------------------------------

void getItemStats(int32_t itemKey, int32_t totals[ITEM_STAT_COUNT]) {
    if (itemKey < 0) return;
    int32_t row = findItemDef(itemKeyId(itemKey));
    if (row < 0) return;
    const ItemDefinition& d = gItemDefinitions[row];
    int32_t values[ITEM_STAT_COUNT] = {d.attack, d.defence, d.magic, d.magicDefence};
    int32_t largest = -1;
    for (int32_t i = 0; i < ITEM_STAT_COUNT; i++) {
        if (values[i] > 0 && (largest < 0 || values[i] > values[largest])) largest = i;
    }
    if (largest >= 0) values[largest] += itemKeyPlus(itemKey);
    for (int32_t i = 0; i < ITEM_STAT_COUNT; i++) totals[i] += values[i];
}
