// shop/day_end.h: the end-of-day report and the item choice after a run,
// shown as overlay screens, the week's payment, and the run-result band
// drawn over the field while a run ends. The overlay's loader end calls
// openDayReport or startItemChoice on the main thread; the overlay then
// runs the update once per tick and the draw once per frame.
#pragma once
#include <cstdint>

#include "engine/save_file.h"
#include "shop/shop.h"

constexpr int32_t REPORT_RANK_COUNT = 5;   // 0 best .. 4
constexpr int32_t DAY_REPORT_FADE = 17;
constexpr int32_t LOG_ROWS_SHOWN = 7;

// The slots a defeated run may keep at this merchant level: 1, 2 from 15, 3 from 49.
int32_t itemChoiceSlots(int32_t merchantLevel);

// Pure: the quota by play mode, date and the week's last day; divided by
// 100 while story flag 14 holds.
int32_t quotaFor(int32_t playMode, int32_t date, int32_t weekEndDay, bool divided);
// Pure: the report's points and rank. A negative profit counts as 0; the
// profit term is formed in 64 bits and the points are held at INT32_MAX.
int32_t reportPoints(int32_t profit, int32_t quota, int32_t sold, int32_t bought, int32_t found);
int32_t reportRank(int32_t points);

// The bag back into storage after a successful run: what left storage is
// struck off the departure bag, the rest is logged as found.
void returnBagToStock();
// The day's score grows by the square root of a tenth of the item's price
// plus 10, in single precision.
void addGrowth(int32_t itemKey);

// The report's pieces: digits, ',' and '-' (and "S#P") from the board
// picture, 32 px apart, 16 less before a ','; spaces skipped.
void drawPaymentBoard();
void drawBoardDigits(float x, float y, const char* text, uint32_t colour);
void drawUpArrow(float x, float y, uint32_t colour);
void drawDownArrow(float x, float y, uint32_t colour);
