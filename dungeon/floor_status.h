// dungeon/floor_status.h: the running floor's status that the dungeon update
// writes and the field's HUD and overlay read: the floor's conditions and
// their ticker, the cut-scene timers that hold the player, the skill flash,
// the kill combo and the floating numbers. The floor start clears them.
#pragma once
#include <cstdint>

#include "engine/math.h"

constexpr int32_t FLOOR_CONDITION_MAX = 5;
constexpr int32_t FLOOR_CONDITION_NAME_SIZE = 256;
struct FloorConditionList {
    int32_t count;   // 0..5
    int32_t ids[FLOOR_CONDITION_MAX];
    int32_t nameOffsets[FLOOR_CONDITION_MAX];
    char names[FLOOR_CONDITION_MAX][FLOOR_CONDITION_NAME_SIZE];
    int32_t totalLength;   // the banner's scroll length
};
extern FloorConditionList gFloorConditionList;
// Frames of the news or condition ticker, 0 none; the scene updates advance
// it while non-zero and the overlay clears it when the band has closed.
extern int32_t gConditionBannerCounter;
// Raised to 1 by the overlay when the ticker closed; the dungeon update then
// counts it up and the condition names slide in with it.
extern int32_t gConditionTickerDone;
extern int32_t gSkillCountdown;         // 0..30, the skill flash
extern int32_t gPlayerControl;          // -1 while the player may act
extern int32_t gSwitchCutTimer;         // non-zero while a switch cut runs
extern int32_t gBossEntranceCutTimer;   // non-zero while a boss makes its entrance
extern int32_t gGatePrompt;             // non-zero while the gate prompt shows
extern int32_t gEnemyKillCombo;
extern int32_t gBossRushCourse;         // -1 outside a Boss Rush
extern int32_t gBossRushBattle;         // -1 outside a Boss Rush

constexpr int32_t NUMBER_POPUP_COUNT = 32;
struct NumberPopup {
    Vector3 position;
    int32_t timer;      // counts down; 0 free
    int32_t duration;   // 60 or 90
    int32_t value;
    int32_t type;       // 0..9 numbers, 10 and up labels
};
extern NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

// 1 when the condition id is among the floor's, else 0.
int32_t isFloorConditionActive(int32_t id);
// 1 on boss floors: floor index mod 5 = 4; in dungeon 5 floor 29 and every
// floor from 30.
int32_t isBossFloor();
// Back to the values a fresh process starts with.
void resetFloorStatus();
