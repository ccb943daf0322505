// shop/day_end.h: the end-of-day report and the item choice after a run,
// shown as overlay screens, the week's payment, and the run-result band
// drawn over the field while a run ends. The overlay's loader end calls
// openDayReport or startItemChoice on the main thread; the overlay then
// runs the update once per tick and the draw once per frame.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

constexpr int32_t CHOSEN_ITEMS_MAX = 3;
constexpr int32_t REPORT_RANK_COUNT = 5;   // 0 best .. 4
constexpr int32_t DAY_REPORT_FADE = 17;
constexpr int32_t LOG_ROWS_SHOWN = 7;

// The item choice: what a defeated run keeps, the column's cursor and
// whether the bag list has the input.
struct ItemChoiceState {
    int32_t chosenItems[CHOSEN_ITEMS_MAX];   // ItemKeys, -1 empty
    int32_t cursor;                          // 0 "Confirm", 1..n a slot
    int32_t listActive;                      // the bag list has the input
};
extern ItemChoiceState gItemChoice;
// Back to the values a fresh process starts with: nothing chosen.
void resetItemChoiceState();
// The slots a defeated run may keep at this merchant level: 1, 2 from 15, 3 from 49.
int32_t itemChoiceSlots(int32_t merchantLevel);

// The report and the item choice; reset by openDayReport (the item
// choice's fields by startItemChoice).
struct DayReportState {
    int32_t quota;
    int32_t profit;
    int32_t shownProfit;
    int32_t shownScore;
    int32_t totalBefore;       // totalScore before today
    int32_t rank;              // 0 best .. 4
    int32_t reportDay;         // the date the report is about
    int32_t selectedList;      // 0 sold, 1 bought, 2 found
    int32_t scroll[DAY_LOG_COUNT];
    int32_t countFrame;        // frames of the count-up
    int32_t timer;             // frames since both counts were reached; 0 before
    int32_t paymentDay;
    int32_t paymentShort;      // the money was below the quota when paying began
    int32_t paid;
    int32_t paymentFrame;
    int32_t payEndFrame;       // 0 while paying; the frame the end shows from
    int32_t paidShort;         // paying ended with the money gone
    int32_t shake;
    int32_t shakeX, shakeY;
    int32_t leaving;           // 0, else ticks since the leaving began
    int32_t panelFrame;
    // The item choice.
    int32_t runOutcome;        // gRun.runEndState when it started
    int32_t intro;
    int32_t wholeBag;
};
extern DayReportState gDayReport;
void resetDayReportState();

// Handed to the game-over and after-ending scenes: the week's payment fell
// short; day 36 ended with its payment made.
extern int32_t gDayEndUnpaid;
extern int32_t gDayEndFinal;

// A new day starts counting: the money it starts from, no score, empty logs.
// The report's leaving and the carry-over into a new loop run it.
void resetDayCounters(GameState& game);
// The payment due on the running game's payment day.
int32_t getQuota();
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

void openDayReport();
void startItemChoice();
void updateDayReport();
void updateItemChoice();
void drawDayReport();
void drawItemChoice();
void drawLoadingBand();
// The report's pieces: digits, ',' and '-' (and "S#P") from the board
// picture, 32 px apart, 16 less before a ','; spaces skipped.
void drawPaymentBoard();
void drawBoardDigits(float x, float y, const char* text, uint32_t colour);
void drawUpArrow(float x, float y, uint32_t colour);
void drawDownArrow(float x, float y, uint32_t colour);
