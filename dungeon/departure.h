// dungeon/departure.h: the adventurers' guild departure screen (mode 11):
// hiring an adventurer, packing the bag from storage, choosing a dungeon and
// a block of floors (or a Boss Rush course), paying and setting out; and the
// dungeons' sizes and the stage a run's floor plays on. Its words are
// gDepartureScreen (dungeon/dungeon_state.h). Main thread only.
#pragma once
#include <cstdint>

#include "dungeon/departure_cells.h"
#include "dungeon/dungeon.h"
#include "engine/save_file.h"

constexpr int32_t DUNGEON_COUNT_TOTAL = 6;
// Five-floor blocks per dungeon.
constexpr int32_t DUNGEON_FLOOR_BLOCKS[DUNGEON_COUNT_TOTAL] = {1, 3, 6, 10, 20, 12};
// Floors of a dungeon 0..5; 0 for any other number.
int32_t getDungeonFloorCount(int32_t dungeon);

// The stage key (stage code index) of gRun.dungeonIndex / gFloorIndex: dungeon 5
// from floor 30 by its list per floor; otherwise by the floor's block of
// five, the dungeon's last floor taking the entry after its block.
int32_t getStageKeyForFloor();
// The stage key every floor takes while the tower's story floors run.
constexpr int32_t STORY_FLOOR_STAGE_KEY = 20;

// An adventurer's list title, hiring fee and the three lines beside the list.
struct AdventurerProfile {
    const char* title;
    int32_t feeBase;
    int32_t feePerLevel;
    const char* lines[3];
};
extern const AdventurerProfile ADVENTURER_PROFILES[ADVENTURER_COUNT];
extern const char* const DUNGEON_NAMES[DEPARTURE_DUNGEONS];

// The list shows five adventurer rows, six bag rows and seven block rows.
constexpr int32_t DEPARTURE_ADVENTURER_ROWS = 5;
constexpr int32_t DEPARTURE_BAG_ROWS = 6;
constexpr int32_t DEPARTURE_BLOCK_ROWS = 7;
constexpr int32_t DEPARTURE_FADE_TICKS = 17;
// The first floor of Boss Rush course 1..4, all in dungeon 5.
constexpr int32_t BOSS_RUSH_DUNGEON = 5;
constexpr int32_t BOSS_RUSH_FIRST_FLOORS[5] = {0, 30, 33, 38, 46};
// Merchant level (0-based) from which fees are halved.
constexpr int32_t HALF_FEE_LEVEL = 20;

// Pure rules.
// The fee for an adventurer of a 0-based level; halved (integer) from merchant level 20.
int32_t hiringFee(int32_t adventurer, int32_t level, int32_t merchantLevel);
// Open block-list entries of a dungeon for this game.
int32_t unlockedDepartureEntries(const GameState& game, int32_t dungeon);
// Dungeons the map offers, 2..6.
int32_t departureDungeonsOffered(const GameState& game);
// Where a departure from the block-list cursor goes: the run's dungeon and
// floor, and its Boss Rush course (-1 none).
struct DepartureTarget {
    int32_t dungeon;
    int32_t floor;
    int32_t bossRushCourse;
};
DepartureTarget departureTarget(int32_t dungeon, int32_t floorCursor);
// The best-time record shown beside block-list entry of a dungeon: an index
// into GameState::bestTimes row by row, or -1.
int32_t departureBestTimeSlot(int32_t dungeon, int32_t entry);

// Where the pointer stands for the focused row.
struct PointerSpot {
    float x;
    float y;
};
PointerSpot adventurerRowSpot(int32_t row, int32_t scroll);
PointerSpot bagRowSpot(int32_t row, int32_t scroll);
PointerSpot blockRowSpot(int32_t row, int32_t scroll);
PointerSpot dungeonSpot(int32_t dungeon);

// The adventurer under the list cursor; -1 on "Leave".
int32_t departureCursorAdventurer();
// The fee the screen shows and takes for the adventurer under the cursor:
// 0 before the guild charges (story flag 57), and for the list's first
// adventurer at most the money on hand.
int32_t departureFeeShown();
