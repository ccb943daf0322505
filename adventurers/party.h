// adventurers/party.h: the eight adventurers' tuning rows and their level
// stats, and the party of the field. gCharaTable is filled once at start-up
// by the chara table loader (field/field_tables.cpp) and read-only after.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"
#include "engine/math.h"

struct GameState;

constexpr int32_t ADVENTURER_LEVEL_MAX = 98;   // 0-based; shown as level 99
constexpr int32_t CHARA_ROW_COUNT = 10;        // rows 0..7 used, one per adventurer

// One adventurer's tuning row: the stats at level 1 and at level 100 between
// which the stats by level interpolate, and the movement speeds.
struct CharaRecord {
    int32_t startLevel;        // 0-based level of a new game's adventurer
    int32_t hp;                // at level 1
    int32_t sp;
    int32_t attack;
    int32_t defence;
    int32_t magic;
    int32_t magicDefence;
    float walkSpeed;           // units per tick
    float dashSpeed;
    float criticalChance;      // 0..1
    int32_t hp100;             // at level 100
    int32_t sp100;
    int32_t attack100;
    int32_t defence100;
    int32_t magic100;
    int32_t magicDefence100;
};
extern CharaRecord gCharaTable[CHARA_ROW_COUNT];

constexpr int32_t LEVEL_ONE_NEXT_EXP = 300;   // experience that ends level 1

// Puts an adventurer back at the start of a level with the chara row's
// level-1 stats and no experience (a new game, a Survival reset).
void resetAdventurerStats(AdventurerRecord& a, const CharaRecord& c, int32_t level);
// Sets the base ATK, DEF, MAG, MDEF, HP and SP of the eight adventurers of
// that game from their levels and their chara rows; the HP and SP bonuses
// stay. Runs for a new game, a new loop, departure and every level-up.
void recomputeLevelStats(GameState& game);
// One stat at 0-based level: the level-1 value e moved toward the level-100
// value h by level / 100, truncated toward zero. Pure.
int32_t statForLevel(int32_t e, int32_t h, int32_t level);
// Cumulative experience that ends 0-based level n: n (n + 1) x 150.
int32_t getExpForLevel(int32_t level);
// The chosen adventurer's attack, defence, magic and magic-defence totals
// from base values and equipment.
void recomputeAdventurerTotals();

// The three figures of a field stage: 0 the controlled character, 1 the
// follower, 2 the fairy.
constexpr int32_t PARTY_MEMBER_COUNT = 3;
struct PartyState {
    Vector3 positions[PARTY_MEMBER_COUNT];   // world units, y up
    int32_t models[PARTY_MEMBER_COUNT];      // motion-table slot per member, -1 absent
    Vector3 velocity;                        // the controlled character's, units per tick
    float facing;                            // the controlled character's heading, radians
    float hp;                                // the adventurer's current HP and SP on a run
    float sp;
    int32_t berserk;                         // the controlled character's states; nonzero while active
    int32_t darkSoul;
};
extern PartyState gParty;
// The adventurer of the current dungeon run, 0..7.
extern int32_t gChosenAdventurer;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetPartyState();
