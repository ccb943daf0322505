// shop/trend_definitions.h: the market trends and news the town can have,
// read at start-up from "data/news.txt". Rows count from 1; row 0 is never
// used. Rows 36 and 37 are the booms.
#pragma once
#include <cstdint>

struct ItemDefinition;

constexpr int32_t TREND_DEFINITION_MAX = 200;   // rows 1..200
constexpr int32_t TREND_TEXT_SIZE = 128;
constexpr int32_t TREND_TARGET_SIZE = 16;
constexpr int32_t TREND_BOOM_ROW = 36;
constexpr int32_t TREND_BIG_BOOM_ROW = 37;
constexpr int32_t TREND_NEWS_ONLY = -100;       // category of a row that is only news
constexpr int32_t TREND_SPECIAL_MASK = -1;      // categoryMask of the target "Spcl"

struct TrendDefinition {
    char text[TREND_TEXT_SIZE];          // '<' and two more characters: the bound item's second name
    char targetName[TREND_TARGET_SIZE];  // the target as written
    int32_t effect;                      // >0 demand, -1 out of favour, <=-2 crash, 0 no price effect
    int32_t duration;                    // days
    int32_t durationRandom;              // random extra days
    int32_t categoryMask;
    int32_t category;                    // -1 none; TREND_NEWS_ONLY
    int32_t item;                        // item id, -1 none
    int32_t customerType;                // floods the shop on a trend day
    int32_t boundLow;                    // >= 0: an item of the target priced in this range is bound
    int32_t boundHigh;
    int32_t seasonFirst;                 // days the row can be chosen on
    int32_t seasonLast;                  // 999: no end
};
extern TrendDefinition gTrendDefinitions[TREND_DEFINITION_MAX + 1];
extern int32_t gTrendDefinitionCount;

// Whether the item may be bound to a trend of this row: a valid item whose
// base price lies in boundLow..boundHigh and that belongs to the row's
// category (mask 0) or meets its category mask (nonzero and not the special
// mask).
bool isTrendBoundCandidate(const TrendDefinition& row, const ItemDefinition& item);
// Items of the item table that may be bound to a trend of this row.
int32_t countTrendBoundCandidates(const TrendDefinition& row);
// A row that binds an item (boundLow >= 0) needs at least one candidate; the
// news table's loader keeps a row that has none naming nothing (it is never
// drawn), since its news could name no item. Rows that bind nothing pass.
bool trendBoundsAdmitItem(const TrendDefinition& row);

// The trend table from its text (see shop/table_lines.h).
void parseTrendTable(const char* text, int32_t length);
