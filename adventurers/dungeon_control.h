// adventurers/dungeon_control.h: the player's control of member 0 of the
// party: the adventurer on a dungeon floor, the heroine on the shop floor
// (whose control moves her through updateDungeonPlayer). Input, status
// timers, the action machine, attack and skill buttons with skill points,
// gems, the floor's time limit with its time-out enemies, speed limit,
// gravity and friction, the trail, afterimages, clones and the mini-map.
// Main thread, once per logic tick, from the field frame and the stage
// scripts.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"

#include "adventurers/party.h"

// SP a skill costs, by adventurer and skill slot. Zoze (7) pays her whole
// maximum SP instead.
extern const int32_t SKILL_SP_COSTS[ADVENTURER_COUNT][SKILL_SLOTS];
// Heading offsets of the five clones around the leader.
constexpr float CLONE_ANGLE_OFFSETS[PARTY_GHOST_COUNT] = {0.0f, 0.3f, -0.3f, 0.6f, -0.6f};


extern int32_t gForcedInput;         // -1, or the raw pad word member 0 reads this tick
extern int32_t gInputBlocked;        // 0 right after a floor start: the first tick clears the input
extern int32_t gTimeOutStarted;      // 0, then counts up from 1 once time-out enemies appeared
extern int32_t gTimeOutSpawns;
extern int32_t gWarpTimer;           // the warp trap's sequence, 0 none
extern int32_t gHeroineCommentDelay;
extern int32_t gHeroineCommentCooldown;
// The entry hop's push (per hundred) and length in ticks, set with hopTimer.
extern int32_t gHopPush;
extern int32_t gHopLength;

constexpr int32_t TIME_OUT_ENEMY_KIND = 34;
constexpr int32_t TIME_OUT_INTERVAL = 240;   // ticks between time-out enemies
constexpr int32_t TIME_OUT_ENEMY_MAX = 5;    // no new one while this many live

// The dungeon floor's per-tick entry: start voices, the heroine's comment,
// updateDungeonPlayer and the balloon.
void updateDungeonParty();
void updateDungeonPlayer();
// tickPartyStatus of the field's party.
void updateStatusOfPlayer();
void tickPartyStatus(PartyState& party);
void updatePlayerAction();
void steerPlayer(PartyState& party);
void handleActionButtons(PartyState& party);
void checkSkillButtons(PartyState& party);
// The skill id started, or 0 when refused.
int32_t useSkill(PartyState& party);
// 1 when paid, 0 refused (and nothing changed).
int32_t spendSp(PartyState& party, int32_t cost);
void collectGems();
void easeGauges();

// The speed limit of member 0 this tick, units per tick. Pure apart from
// the item, condition and stage reads it names.
float playerSpeedLimit(const PartyState& party);
// The eight-way sprite direction of a heading seen with the camera yaw,
// with the side-facing rule for diagonals; updates sideFacing.
int32_t spriteDirectionFor(float facing, float cameraYaw, int32_t& sideFacing);
// Back to the values a fresh process starts with.
void resetDungeonControlState();
