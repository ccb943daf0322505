// dungeon/field_frame.h: the field's per-tick frame, shop floor and dungeon alike.
#pragma once
#include <cstdint>

#include "engine/stage_index.h"

extern int32_t gDungeonIndex;   // current dungeon, 0..5
extern int32_t gRunEndState;    // 0 running, 1 defeated, 2 returned, 3 cleared
extern int32_t gRunEndTimer;
extern int32_t gSpecialMusicTimer;   // counted down by the field frame; music track 10 while above 0
// 1.0 from a floor's start, falling to 0 while a boss makes its entrance;
// the light layer of the map fades with it.
extern float gBossCutFade;

// The run position: a Boss Rush course 1..4 and its 0-based battle, both -1
// outside a Boss Rush.
extern int32_t gBossRushCourse;
extern int32_t gBossRushBattle;
// Run words of the field frame that others set; each floor starts them over.
extern int32_t gFloorTime;         // ticks on the current block of floors
extern int32_t gGatePrompt;        // the gate prompt's state, 0 none
extern int32_t gGateGuard;         // ticks before a gate may prompt again
extern int32_t gHitStopInput;      // a button pressed during hit-stop
extern int32_t gSwitchCutTimer;    // frames left of the door cut-scene
extern int32_t gSlowMotionTimer;
extern int32_t gFloorIntroTimer;   // the 200-frame countdown of a run's first floor; the party grows in from 90 to 60
extern int32_t gEquipPrompt;       // 1: the equipment prompt opens
extern int32_t gAutoWalk;
extern int32_t gStartVoiceTimer;
// -1 the player steers, 0 locked, 4 a scripted walk.
extern int32_t gPlayerControl;

// The event script to run (or running): "iv/iv<major>_<minor>.ivt".
struct EventNumber {
    int32_t major;
    int32_t minor;
};
extern EventNumber gEventNumber;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFieldFrameState();

void updateFieldFrame();
void updateDungeonScenery();
void updateQueuedEvent();

// Set during a frame to keep the party from being drawn; cleared at the
// start of every frame.
extern int32_t gCharDrawFlag;
