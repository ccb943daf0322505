// adventurers/party.h: the eight adventurers' persistent records and their
// tuning rows. An AdventurerRecord lives inside every GameState, so inside
// the save file: its layout is fixed. gCharaTable is filled once at start-up
// by the chara table loader (engine/field_tables.cpp) and read-only after.
#pragma once
#include <cstddef>
#include <cstdint>

struct GameState;

constexpr int32_t ADVENTURER_COUNT = 8;
constexpr int32_t EQUIPMENT_SLOTS = 5;
constexpr int32_t SKILL_SLOTS = 5;
constexpr int32_t ADVENTURER_LEVEL_MAX = 98;   // 0-based; shown as level 99
constexpr int32_t CHARA_ROW_COUNT = 10;        // rows 0..7 used, one per adventurer

// 108 bytes, little-endian, 8 of them in GameState::adventurers.
struct AdventurerRecord {
    int32_t level;                          // 0-based
    int32_t equipment[EQUIPMENT_SLOTS];     // ItemKeys, slot 0 the main weapon; -1 empty
    int32_t savedEquipment[EQUIPMENT_SLOTS];// restored after a run
    int32_t attack;                         // base values, without equipment
    int32_t defence;
    int32_t magic;
    int32_t magicDefence;
    int16_t hpBase;                         // maximum HP = hpBase + hpBonus
    int16_t hpBonus;                        // from medicines, at most 200
    int16_t spBase;                         // maximum SP = spBase + spBonus
    int16_t spBonus;
    int32_t experience;                     // cumulative
    int32_t levelStartExp;                  // experience at the current level's start
    int32_t nextLevelExp;                   // experience that leaves the current level
    int32_t adventures;                     // run counters
    int32_t defeats;
    int32_t returns;                        // runs ended at a return gate
    int32_t clears;                         // runs ended at the last floor's return gate
    uint8_t skillUnlocked[SKILL_SLOTS];
    uint8_t reserved65[7];
};
static_assert(sizeof(AdventurerRecord) == 108);
static_assert(offsetof(AdventurerRecord, equipment) == 0x04);
static_assert(offsetof(AdventurerRecord, savedEquipment) == 0x18);
static_assert(offsetof(AdventurerRecord, attack) == 0x2C);
static_assert(offsetof(AdventurerRecord, magicDefence) == 0x38);
static_assert(offsetof(AdventurerRecord, hpBase) == 0x3C);
static_assert(offsetof(AdventurerRecord, spBonus) == 0x42);
static_assert(offsetof(AdventurerRecord, experience) == 0x44);
static_assert(offsetof(AdventurerRecord, nextLevelExp) == 0x4C);
static_assert(offsetof(AdventurerRecord, adventures) == 0x50);
static_assert(offsetof(AdventurerRecord, clears) == 0x5C);
static_assert(offsetof(AdventurerRecord, skillUnlocked) == 0x60);

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
