// dungeon/floor_start.h: starting a stage of the field, shop or dungeon:
// startFloor resets the floor's state, generates a dungeon floor, sets its
// time limit and places the party, the gates, the chests and the enemies.
// It runs on the scene loader thread while the main thread only shows the
// loading sign (the shop entry and the town map call it directly).
//
// beginExpedition readies the adventurer and the loot odds when a run
// starts, refreshSkillUnlocks derives the skill slots from the levels, and
// settleBagOnReturn sorts the bag out when a run ends.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"
#include "dungeon/dungeon.h"
#include "engine/adventurer_record.h"

// 1 from beginExpedition until the next startFloor, which then shows the
// floor banner and starts the 200-frame countdown.
extern int32_t gExpeditionStart;
extern float gFloorStartHeading;      // the controlled character's, restored after a fall

// Skill slots open per adventurer, by 0-based level thresholds.
struct SkillUnlockRow {
    int32_t count;
    int32_t levels[SKILL_SLOTS];
};
extern const SkillUnlockRow gSkillUnlockLevels[ADVENTURER_COUNT];

constexpr int32_t FLOOR_INTRO_FRAMES = 200;
constexpr int32_t FLOOR_BANNER_FRAMES = 180;

// Frames per route cell of the floor time limit, by dungeon.
constexpr int32_t FLOOR_FRAMES_PER_CELL[6] = {3600, 2400, 2100, 1800, 1200, 900};
// The time limit of a floor of roomCount route cells in dungeon. Pure.
int32_t floorTimeLimit(int32_t dungeon, int32_t roomCount);
// Whether a floor start clears gFloorTime: the first floor of each block
// (of ten below floor 30 in dungeon 5, of five elsewhere, never from floor
// 30 of dungeon 5), or the first battle of a Boss Rush (course 1..4). Pure.
bool floorTimeResets(int32_t dungeon, int32_t floor, int32_t bossRushCourse, int32_t bossRushBattle);

// finishFloorStart (the front door) is what a floor start leaves to the main
// thread: the run's end words start over (the frame draws the run-result
// band from them during the load), the pointer hides and a morning shop is
// entered through its door, with its voices, balloon and camera.
