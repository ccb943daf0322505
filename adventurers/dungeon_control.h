// adventurers/dungeon_control.h: the player's control of member 0 of the
// party: the adventurer on a dungeon floor, the heroine on the shop floor
// (whose control moves her through updateDungeonPlayer). Input, the action
// machine, attack and skill buttons with skill points, speed limit, gravity
// and friction, and the mini-map; it runs the status (party_status.h), the
// gems (gem_collection.h), the time limit (time_limit.h) and the trail with
// its afterimages and clones (trail.h) in their places in the tick.
// Main thread, once per logic tick, from the field frame and the stage
// scripts.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"

#include "adventurers/adventurers_state.h"

// SP a skill costs, by adventurer and skill slot. Zoze (7) pays her whole
// maximum SP instead.
extern const int32_t SKILL_SP_COSTS[ADVENTURER_COUNT][SKILL_SLOTS];

void updatePlayerAction();
void steerPlayer(PartyState& party);
void handleActionButtons(PartyState& party);
void checkSkillButtons(PartyState& party);
// The skill id started, or 0 when refused.
int32_t useSkill(PartyState& party);
// 1 when paid, 0 refused (and nothing changed).
int32_t spendSp(PartyState& party, int32_t cost);

// The speed limit of member 0 this tick, units per tick. Pure apart from
// the item, condition and stage reads it names.
float playerSpeedLimit(const PartyState& party);
// The eight-way sprite direction of a heading seen with the camera yaw,
// with the side-facing rule for diagonals; updates sideFacing.
int32_t spriteDirectionFor(float facing, float cameraYaw, int32_t& sideFacing);
