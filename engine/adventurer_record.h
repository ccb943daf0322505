// engine/adventurer_record.h: an adventurer's persistent record as the save
// file stores it, eight of them in every GameState. Its layout is fixed.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t ADVENTURER_COUNT = 8;
constexpr int32_t EQUIPMENT_SLOTS = 5;
constexpr int32_t SKILL_SLOTS = 5;

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
