#include "shop/day_planning.h"

#include <utility>

#include "engine/random.h"
#include "shop/counter.h"

const float SHOP_SIZE_FACTORS[SHOP_SIZE_COUNT] = {1.0f, 0.857f, 0.667f, 0.4286f};
// A larger shop draws more visitors as if it held this many more items.
static const int32_t SHOP_SIZE_EXTRA_PLACES[SHOP_SIZE_COUNT] = {0, 3, 4, 5};

DayCandidate gDayCandidates[DAY_CANDIDATE_COUNT];
VisitPlan gVisitPlan[VISIT_PLAN_MAX];
int32_t gVisitPlanCount;
int32_t gVisitOrder[VISIT_ORDER_SIZE];

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

void resetDayPlan() {
    for (DayCandidate& candidate : gDayCandidates) candidate = DayCandidate{};
    for (VisitPlan& plan : gVisitPlan) plan = VisitPlan{};
    gVisitPlanCount = 0;
    for (int32_t& row : gVisitOrder) row = 0;
}
