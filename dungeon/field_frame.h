// dungeon/field_frame.h: the field's per-tick frame (game mode 1), shop floor
// and dungeon alike: the gate and equip prompts, hit-stop, slow motion, the
// run's end, then the control, enemies and objects of an ordinary frame.
// The run words (dungeon/dungeon_state.h) are set by startFloor at each
// floor and read or set by the Parts that hit, script or end a run. Main
// thread only.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"
#include "engine/stage_index.h"

// Gate prompt (gGatePrompt) values and reaches.
constexpr int32_t GATE_PROMPT_REFUSED = -1;
constexpr int32_t PROMPT_COUNT_CEILING = 118;
constexpr int32_t GATE_PROMPT_LEAVE_NEXT = 119;
constexpr int32_t GATE_PROMPT_LEAVING = 120;
constexpr int32_t GATE_GUARD_FRAMES = 30;
constexpr float GATE_NOTICE_REACH = 3.0f;   // a gate within it sets gGateIsReturn
constexpr float GATE_ARM_REACH = 1.0f;

// The stage of gStageIndex; null when the index names no loaded stage.
const StageRecord* currentFieldStage();

// The best-time record a gate would write for this run position, as an
// index into GameState::bestTimes read row by row (row * 20 + column), or
// -1 when none. Each Boss Rush course has a slot of its own. Pure.
int32_t bestTimeSlot(int32_t dungeon, int32_t floor, int32_t bossRushCourse, int32_t bossRushBattle,
                     int32_t atReturnGate);
// Writes gFloorTime into the running game's record slot when it holds no
// time or a longer one; -1 writes nothing.
void recordBestTime(int32_t slot);
// The defeat voice of adventurer 0..7; null for others.
const char* defeatVoice(int32_t adventurer);
