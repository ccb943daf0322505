#include "dungeon/departure.h"

#include "dungeon/field_frame.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"

// Stage keys per block, and one more for the dungeon's last floor.
constexpr int32_t STAGE_KEYS_0[] = {5, 5};
constexpr int32_t STAGE_KEYS_1[] = {6, 10, 6, 6};
constexpr int32_t STAGE_KEYS_2[] = {7, 9, 14, 11, 12, 15, 15};
constexpr int32_t STAGE_KEYS_3[] = {13, 12, 10, 5, 14, 9, 16, 10, 13, 9, 19};
constexpr int32_t STAGE_KEYS_4[] = {12, 10, 9, 11, 15, 16, 6, 7, 11, 5, 13, 9, 10, 16, 13, 15, 11, 14, 10, 5, 17, 17};
constexpr int32_t STAGE_KEYS_5[] = {12, 10, 9, 11, 15, 5};
struct StageKeyRow {
    const int32_t* keys;
    int32_t count;
};
constexpr StageKeyRow STAGE_KEY_ROWS[DUNGEON_COUNT] = {
    {STAGE_KEYS_0, 2}, {STAGE_KEYS_1, 4}, {STAGE_KEYS_2, 7}, {STAGE_KEYS_3, 11}, {STAGE_KEYS_4, 22}, {STAGE_KEYS_5, 6},
};
// Dungeon 5 from floor index 30, one key per floor.
constexpr int32_t BOSS_RUSH_FIRST_FLOOR = 30;
constexpr int32_t STAGE_KEYS_DEEP[30] = {6,  10, 6,  7,  9,  11, 12, 15, 13, 12, 10, 5, 9,  10, 13,
                                         19, 12, 10, 9,  11, 15, 6,  7,  5,  13, 9,  16, 14, 17, 5};

int32_t getStageKeyForFloor() {
    int32_t d =
        gRun.dungeonIndex < 0 ? 0 : (gRun.dungeonIndex >= DUNGEON_COUNT ? DUNGEON_COUNT - 1 : gRun.dungeonIndex);
    int32_t f = gFloorIndex < 0 ? 0 : gFloorIndex;
    if (d == 5 && f >= BOSS_RUSH_FIRST_FLOOR) {
        int32_t i = f - BOSS_RUSH_FIRST_FLOOR;
        return STAGE_KEYS_DEEP[i < 30 ? i : 29];
    }
    int32_t entry = f / 5;
    if (d != 5 && f == DUNGEON_FLOOR_BLOCKS[d] * 5 - 1) ++entry;
    const StageKeyRow& row = STAGE_KEY_ROWS[d];
    return row.keys[entry < row.count ? entry : row.count - 1];
}

// The hiring, packing and dungeon choice arrive with the departure screen.
void initDepartureScreen() {}
void saveDepartureListState() {}
void restoreDepartureListState() {}

int32_t getDungeonFloorCount(int32_t dungeon) {
    if (dungeon < 0 || dungeon >= DUNGEON_COUNT_TOTAL) return 0;
    return 5 * DUNGEON_FLOOR_BLOCKS[dungeon];
}

// The run's stage keys arrive with the departure screen.
void selectDungeonStage() {}
