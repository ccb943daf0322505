#include "shop/trend_definitions.h"

#include "shop/item_db.h"

TrendDefinition gTrendDefinitions[TREND_DEFINITION_MAX + 1];
int32_t gTrendDefinitionCount;

bool isTrendBoundCandidate(const TrendDefinition& row, const ItemDefinition& item) {
    if (!item.valid || item.price < row.boundLow || item.price > row.boundHigh) return false;
    if (row.categoryMask == 0) return item.category == row.category;
    return row.categoryMask != TREND_SPECIAL_MASK && (item.categoryFlags & row.categoryMask) != 0;
}

int32_t countTrendBoundCandidates(const TrendDefinition& row) {
    int32_t count = 0;
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++)
        count += isTrendBoundCandidate(row, gItemDefinitions[r]);
    return count;
}

bool trendBoundsAdmitItem(const TrendDefinition& row) {
    return row.boundLow < 0 || countTrendBoundCandidates(row) > 0;
}

const char* trendDefinitionText(int32_t definition) {
    return definition >= 1 && definition <= TREND_DEFINITION_MAX ? gTrendDefinitions[definition].text : nullptr;
}
