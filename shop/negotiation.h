// shop/negotiation.h: the numbers behind every counter visit. The customer's
// reference price, offers and asks round by round, the limit past which it
// walks out, the judged target price and the deal bonus, relationships,
// budgets, the day score, price records, the sold-item logs and the stats an
// item adds (an adventurer customer's choice of equipment is in
// shop/purchase_equipment.h). Everything works on gCounter and the
// running game; main thread, inside the counter's tick.
//
// Precision: constants written with an f are single precision and the others
// double; a product of a single-precision value and a price is formed in
// double from the single-precision operands and truncated toward zero; a
// "stored" intermediate is first rounded to single precision. The draws of
// the shared random generator happen in the order written here.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t ADVENTURER_TYPE_FIRST = 2;   // customer types 2..9 are the adventurers
constexpr int32_t ADVENTURER_TYPE_LAST = 9;
constexpr int32_t SELLER_TYPE_FIVEFOLD = 18;   // sells at five times the price
constexpr int32_t RELATION_LEVEL_MAX = 8;
constexpr int32_t COMBO_BONUS_MAX = 128;

enum PriceJudgement : int32_t {
    JUDGED_PLAIN = 0,
    JUDGED_PERFECT = 1,
    JUDGED_NEAR = 2,
};

enum PriceDirection : int32_t {
    PRICE_SOLD = 0,
    PRICE_BOUGHT = 1,
};

// What a customer does with the price the player settled on, before the
// counter's story rules: the offer covers it, it is past the limit, or
// neither.
enum CounterAnswer : int32_t {
    ANSWER_DEAL = 0,
    ANSWER_COUNTER_OFFER = 1,
    ANSWER_WALK_OUT = 2,
};

// The buying customer's next offer (buyers, requests, order pickups). The
// first call (round 0) sets reference, limit, offer and target; each call
// ends with round + 1.
void updateBuyerOffer();
// The selling customer's next ask, the same way. A seller of type 18 first
// multiplies the reference and the price already entered by five.
void updateSellerAsk();
// A buyer walks out at a price at or above its limit, a seller at or below
// its own; the deal needs the offer to cover the price (buyer) or the price
// to cover the ask (seller).
CounterAnswer answerCounterPrice(bool seller, int32_t price, int32_t offer, int32_t limit);

// The counter price against the target: perfect, near or plain.
int32_t judgePrice();
// The bonus rows of a deal (perfect 30, near 15, else 10, plus 2^combo up to
// 128 for deals closed on the first offer) and the combo.
void awardDealBonus();

// The relationship of the counter's customer: the level follows the points
// (a tenth of them, at most 8) but only rises, and only for the first
// candidate of a type. 1 when it rose.
int32_t raiseCustomerLevel();
// The offers after which the counter's customer gives up: 2, 3 or 4 by level.
int32_t getCustomerAttitude();
// budgetMin up to budgetMax by the points, in tenths, from 100 points on the
// whole range.
int32_t computeCustomerBudget(int32_t customerType, int32_t customerIndex);

// The day score after a deal (PriceDirection), with its sparkle and sounds.
void updatePriceReputation(int32_t direction);
// The highest and lowest counter prices of the counter item.
void recordPriceExtremes();
// Logs the key in list 0..2 (0 sold, 1 bought from sellers); a sale also
// feeds the booms from day 9 on, except on a trend day.
void logSoldItem(int32_t itemKey, int32_t list);
// Empties the first shelf place holding exactly the key and reports where it
// was; nothing happens when no place holds it.
void takeItemFromShelves(int32_t itemKey, int32_t& slot, int32_t& shelf);
