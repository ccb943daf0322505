// adventurers/party.h: the eight adventurers' tuning rows and their level
// stats, and the party of the field. gCharaTable is filled once at start-up
// by the chara table loader (field/field_tables.cpp) and read-only after.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"
#include "engine/input.h"
#include "engine/math.h"
#include "field/field.h"

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
// The chosen adventurer's attack, defence, magic and magic-defence totals
// from base values and the five equipped items, into gParty.totals; clears
// the party's equipment-effect block.
void recomputeAdventurerTotals();
// Cumulative experience that leaves level index n - 1: 0 for n = 0, else
// n (n + 1) 150. Pure.
int32_t getExpForLevel(int32_t n);
// One level-up step of the record (the chosen adventurer's in the running
// game): the next level, its stats, full HP and SP; at the highest level
// only the excess experience is dropped and HP and SP refilled.
void levelUp(AdventurerRecord& record);
// The heroine's voice at a level-up.
constexpr const char* LEVEL_UP_VOICE = "bin/se/00sa/system/00sa_sys03b.bin";
// A modal "system" box "<text> <value>" for a content error found in play.
void showDebugMessage(const char* text, int32_t value);

// The three figures of a field stage: 0 the controlled character, 1 the
// follower, 2 the fairy.
constexpr int32_t PARTY_MEMBER_COUNT = 3;
constexpr int32_t PARTY_TRAIL_LENGTH = 40;    // ticks of member 0's trail
constexpr int32_t PARTY_GHOST_COUNT = 5;      // clones, afterimages
constexpr int32_t PARTY_MODEL_SLOTS = 10;
constexpr int32_t PARTY_BUFF_COUNT = 4;       // medicines 4108..4111
constexpr int32_t PARTY_AILMENT_COUNT = 3;
constexpr int32_t PARTY_GEM_QUEUE = 6;

// The model (motion table) of each adventurer on a dungeon floor, by
// adventurer 0..7; the heroine is model 0 and the fairy model 1.
constexpr int32_t ADVENTURER_MODELS[ADVENTURER_COUNT] = {3, 27, 28, 30, 40, 31, 41, 42};
constexpr int32_t HEROINE_MODEL = 0;
constexpr int32_t FAIRY_MODEL = 1;

// A sprite figure's animation: setMotion and advanceMotion alone write the
// first six words; the drawing reads the flash, tint and split words.
struct MotionState {
    int32_t motion;            // animation block of the model's motion table
    int32_t spare;
    float keyTime;             // ticks within the current keyframe
    int32_t ticks;             // ticks since the motion began
    int32_t keyIndex;          // keyframe (frame row) within the block
    int32_t requestedMotion;   // equal to motion once set
    int32_t direction;         // eight-way sprite direction 0..7; 2 and 6 the side views
    int32_t whiteFlash;        // counted down by the status tick; drawn white while above 0
    int32_t tint;              // tinted while above 0
    int32_t tintSuppress;      // nonzero cancels the tint
    int32_t splitTimer;        // drawn split while above 0
};

// A frozen copy of the leader: a clone or an afterimage.
struct GhostImage {
    MotionState motion;
    Vector3 position;
    int32_t timer;
    float angleOffset;
    int32_t slot;
};

// A spare model instance carried by the party; -1 free.
struct ModelSlot {
    int32_t model;
    Vector3 position;
    float angle;
};

// The live state of the field's three figures; one record, rebuilt by
// every floor start. Words the field only resets are kept so the record
// reads as the field's code uses it.
struct PartyState {
    int32_t hitFlags;                  // 2 set by a hit of the running action, 1 a chained press
    int32_t hopTimer;                  // ticks of the entry and recovery hop
    int32_t airTicks;                  // 0 on the ground
    int32_t splashArmed;               // 1 while a rising splash may play
    int32_t frozen;                    // 1 stops the follower, fairy and camera
    int32_t models[PARTY_MEMBER_COUNT];      // motion table per member, -1 absent
    Vector3 positions[PARTY_MEMBER_COUNT];   // world units, y up
    Vector3 trailPositions[PARTY_TRAIL_LENGTH];       // member 0's, newest first
    MotionState trailMotions[PARTY_TRAIL_LENGTH];
    Vector3 velocity;                  // member 0, units per tick
    int32_t reservedA[6];
    int32_t afterimageTimer;
    int32_t leaderAlpha;               // 0..255
    MotionState motions[PARTY_MEMBER_COUNT];
    GhostImage clones[PARTY_GHOST_COUNT];
    GhostImage afterimages[PARTY_GHOST_COUNT];
    int32_t cloneShotTimer;
    float memberScales[2 * PARTY_MEMBER_COUNT];   // k horizontal, 3 + k vertical; <= 0 hides
    int32_t tapWindow;
    int32_t idleTicks;
    int32_t dodgeTimer;
    int32_t sideFacing;                // 1 while the leader faces sideways
    int32_t nearestPickup;             // -1 none
    int32_t gemQueue[PARTY_GEM_QUEUE]; // newest first, -1 empty
    int32_t rendererWords[16];
    int32_t berserkTimer;
    int32_t zazuruTimer;
    int32_t darkSoulTimer;
    int32_t reservedB;
    int32_t reservedC;
    int32_t stunTimer;
    int32_t healGlowTimer;
    int32_t levelGlowTimer;
    CollisionHit ground[PARTY_MEMBER_COUNT];
    float groundHeights[PARTY_MEMBER_COUNT];   // -10 before the probe, -30 over nothing
    float shadowHeights[PARTY_MEMBER_COUNT];
    Matrix4 matrix;                    // member 0's world matrix
    InputRecord* input;                // what member 0 reads
    int32_t delayedHpAmount;
    int32_t delayedSpAmount;
    int32_t delayedHpTimer;
    int32_t delayedSpTimer;
    int32_t holdCharge;
    int32_t attackWord;
    int32_t reservedD;
    int32_t promptFade;                // 0..10
    int32_t promptKind;                // 0 none, 1 talk, 7 leave the shop
    int32_t hitCounter;
    int32_t hitCooldown;
    int32_t buffTimers[PARTY_BUFF_COUNT];
    int32_t glideTimer;
    float glideAngle;
    float slideVelocityX;
    float slideVelocitySpare;
    float slideVelocityZ;
    int32_t dashing;
    int32_t dashWindow;
    int32_t dashDirection;             // pad bits 1, 2, 4, 8
    int32_t abilityFlags;
    int32_t dashTicks;
    int32_t actionState;               // 0 free, 1 stunned, 2/3 attacks, 4..8 skills, 11..15 others
    int32_t actionFrame;
    int32_t reservedE;
    int32_t tick;
    int32_t strikeOrdinal;
    float facing;                      // radians; x moves by its sine, z by its cosine
    float cameraYawTarget;
    int32_t critical;
    float fadeIn;                      // 0..1
    float pushFactor;
    int32_t reservedF;
    float equipEffectValue;            // cleared by recomputeAdventurerTotals, set by nothing
    int32_t equipEffectWords[6];
    uint8_t equipEffectFlags[24];
    int32_t equipEffectCount;          // 5 after recomputeAdventurerTotals
    int32_t totals[4];                 // ATK, DEF, MAG, MDEF with equipment
    float hp;
    float sp;
    float hpShown;
    float spShown;
    int32_t gaugeSteps;
    int32_t gaugeRising;
    int32_t spRestTimer;
    int32_t selectedSkill;             // 0..4
    int32_t chargeIdle;
    int32_t chargeGauge;               // 0..100
    int32_t chargeSegments;
    float chargeAccumulator;
    int32_t chargeStage;               // 0..60
    int32_t skillStep;
    int32_t invincibility;
    int32_t reservedG;
    int32_t ailmentTimers[PARTY_AILMENT_COUNT];
    int32_t moveLock;
    int32_t reservedH;
    int32_t shotKind;
    int32_t randomShot;                // -1 none
    int32_t actionTimer;
    ModelSlot modelSlots[PARTY_MODEL_SLOTS];
};
extern PartyState gParty;
// The adventurer of the current dungeon run, 0..7.
extern int32_t gChosenAdventurer;
// The open skill slots of each adventurer and the skill id in each slot.
extern int32_t gSkillCounts[ADVENTURER_COUNT];
extern int32_t gSkillSlots[ADVENTURER_COUNT][SKILL_SLOTS];
// Back to the values a fresh process starts with (a new boot in the same process).
void resetPartyState();
