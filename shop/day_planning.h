// shop/day_planning.h: who comes to the shop in a day phase. The candidate
// table, the visit plan and its order are rebuilt when a phase opens and read
// by the counter while the phase runs.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

constexpr int32_t DAY_CANDIDATE_COUNT = 100;
constexpr int32_t VISIT_PLAN_MAX = 30;
constexpr int32_t VISIT_ORDER_SIZE = 50;
constexpr int32_t VISITORS_MAX = 5;          // buyers planned on an ordinary day
extern const float SHOP_SIZE_FACTORS[SHOP_SIZE_COUNT];   // by shop size

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
extern DayCandidate gDayCandidates[DAY_CANDIDATE_COUNT];

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
extern VisitPlan gVisitPlan[VISIT_PLAN_MAX];
extern int32_t gVisitPlanCount;
extern int32_t gVisitOrder[VISIT_ORDER_SIZE];   // plan rows in visiting order

// The customer types walking through the shop today, ended by -2.
constexpr int32_t DAY_LINEUP_SIZE = 50;
constexpr int32_t DAY_LINEUP_MAX = 20;       // entries filled at most
constexpr int32_t DAY_LINEUP_END = -2;
extern int32_t gDayLineup[DAY_LINEUP_SIZE];

struct CustomerType;

// Opens a day phase: resets the counter, decides who comes (visitors, the
// trend day, orders due and placed, buyers and sellers, their order) and
// starts loading the shopkeeper's pictures. Called by the shop floor once
// when the shop opens.
void beginShopDay();
// How much the customer likes what is on the shelves.
int32_t rateCustomerInterest(const CustomerType& type);
// Back to the values a fresh process starts with (a new boot in the same process).
void resetDayPlan();

// For i = 0..n-1, swaps entry i with entry (randomInt mod n).
void shuffleArray(int32_t* values, int32_t n);

// The buyers of an ordinary day: the filled shelf places plus 3, 4 or 5 for
// shop size 1, 2 or 3, a quarter of it plus 1 or 2, scaled by the size's
// factor, at most VISITORS_MAX. One draw.
int32_t countPhaseVisitors(const GameState& game);
// The visits of a trend day: 8 or 9, at most the lineup's length. One draw.
int32_t countTrendDayVisits(int32_t lineupLength);

// The trend-day banner's frame (0: no banner runs); the music follows it.
int32_t getTrendBannerFrame();
