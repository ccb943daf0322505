// dungeon/field_frame.h: the field's per-tick frame (game mode 1), shop floor
// and dungeon alike: the gate and equip prompts, hit-stop, slow motion, the
// run's end, then the control, enemies and objects of an ordinary frame.
// The run words below are set by startFloor at each floor and read or set by
// the Parts that hit, script or end a run. Main thread only.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"
#include "engine/stage_index.h"

extern int32_t gDungeonIndex;     // current dungeon, 0..5
extern int32_t gBossRushCourse;   // 1..4; -1 outside a Boss Rush
extern int32_t gBossRushBattle;   // 0-based; -1 outside a Boss Rush

enum RunEndState : int32_t {
    RUN_GOES_ON = 0,
    RUN_DEFEATED = 1,
    RUN_RETURNED = 2,   // through a return gate
    RUN_CLEARED = 3,    // through the return gate of the dungeon's last floor
};
extern int32_t gRunEndState;      // RunEndState
extern int32_t gRunEndTimer;      // frames of the run-end sequence, 0..119
extern int32_t gSpecialMusicTimer;   // counted down by the field frame; music track 10 while above 0

// Gate prompt: 0 idle, 1..118 frames since armed (2 opens the window), -1
// refused until the character walks away, 119 leaving next frame, 120 leaving.
constexpr int32_t GATE_PROMPT_REFUSED = -1;
constexpr int32_t PROMPT_COUNT_CEILING = 118;
constexpr int32_t GATE_PROMPT_LEAVE_NEXT = 119;
constexpr int32_t GATE_PROMPT_LEAVING = 120;
constexpr int32_t GATE_GUARD_FRAMES = 30;
constexpr float GATE_NOTICE_REACH = 3.0f;   // a gate within it sets gGateIsReturn
constexpr float GATE_ARM_REACH = 1.0f;
extern int32_t gGatePrompt;
extern int32_t gGateIsReturn;     // the gate last found in reach: 1 return gate, 0 magic circle
extern int32_t gGateGuard;        // frames before the prompt may arm again
extern int32_t gEquipPrompt;      // "Equip items in bag?": 0 idle, 1..118 frames
extern int32_t gSwitchCutTimer;   // frames left of a door cut-scene
extern int32_t gHitStopTimer;     // hit-stop frames left
extern int32_t gHitStopInput;     // presses held back during a hit-stop
extern int32_t gSlowMotionTimer;  // two of every three frames are skipped while it runs
extern int32_t gFloorIntroTimer;  // floor-start countdown: 200 on an expedition's first floor; the party grows in from 90 to 60
extern int32_t gFloorTime;        // frames in the current block of floors (the best time)
extern int32_t gLastHitTimer;     // HUD frames of the last hit value
// -1 the player may act, 0 locked, 4 scripted walk.
enum PlayerControl : int32_t {
    PLAYER_FREE = -1,
    PLAYER_LOCKED = 0,
    PLAYER_SCRIPTED_WALK = 4,
};
extern int32_t gPlayerControl;
extern int32_t gCharDrawFlag;     // cleared at every frame's start
extern int32_t gTrailDue;         // the effect drawer runs the trail once and clears it
// 1.0 from a floor's start, falling to 0 while a boss makes its entrance;
// the light layer of the map fades with it.
extern float gBossCutFade;

extern int32_t gStartVoiceTimer;  // counts after the floor's countdown; the start voices play on it

// Back to the values a fresh process starts with (a new boot in the same process).
void resetFieldFrameState();

// The stage of gStageIndex; null when the index names no loaded stage.
const StageRecord* currentFieldStage();
// One tick of mode 1.
void updateFieldFrame();
// The field's life without any control, under an event or the pause.
void updateDungeonScenery();

// The best-time record a gate would write for this run position, as an
// index into GameState::bestTimes read row by row (row * 20 + column), or
// -1 when none. Each Boss Rush course has a slot of its own. Pure.
int32_t bestTimeSlot(int32_t dungeon, int32_t floor, int32_t bossRushCourse, int32_t bossRushBattle,
                     int32_t atReturnGate);
// Writes gFloorTime into the running game's record slot when it holds no
// time or a longer one; -1 writes nothing.
void recordBestTime(int32_t slot);
// The heroine's cry when adventurer 0..7 is defeated (4 and 5 take clips
// 16 and 15), and the voices of a return and of a cleared dungeon.
constexpr const char* DEFEAT_VOICES[ADVENTURER_COUNT] = {
    "bin/se/00sa/action/00sa_btl11.bin", "bin/se/00sa/action/00sa_btl12.bin",
    "bin/se/00sa/action/00sa_btl13.bin", "bin/se/00sa/action/00sa_btl14.bin",
    "bin/se/00sa/action/00sa_btl16.bin", "bin/se/00sa/action/00sa_btl15.bin",
    "bin/se/00sa/action/00sa_btl17.bin", "bin/se/00sa/action/00sa_btl18.bin",
};
constexpr const char* RETURNED_VOICE = "bin/se/01yo/action/01yo_btl03.bin";
constexpr const char* CLEARED_VOICE = "bin/se/00sa/shop/sa_yata.bin";
// The defeat voice of adventurer 0..7; null for others.
const char* defeatVoice(int32_t adventurer);
