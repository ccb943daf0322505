// adventurers/adventurers.h: the front door of the adventurers and combat:
// what the other folders call and read of the party, the adventurers'
// records and stats, the motions, attack and effect objects, the bag, the
// player's control on dungeon floors and the heroine's shop floor, plus
// the entry points the field frame and game/ wire. The state these work on
// is in adventurers/adventurers_state.h; every other header of the folder
// is private to it.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_files.h"
#include "engine/adventurer_record.h"
#include "engine/input.h"
#include "engine/math.h"
#include "engine/save_file.h"
#include "field/field.h"
#include "field/field_state.h"

// ---- The adventurers' tuning rows and level stats. gCharaTable is filled
// once at start-up by the chara table loader (field/field_tables.cpp) and
// read-only after.
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
// "data/chara.txt" into gCharaTable, after writing the defaults into rows
// 0..7 (rows 8 and 9 stay zero).
void loadCharaTable();
// The lines of a chara table over gCharaTable as it stands:
// "00k:" level, ATK, DEF, MAG, MDEF, HP, SP, walk, dash, critical (level
// 1-based, stored minus 1) and "10k:" ATK, DEF, MAG, MDEF, HP, SP at level
// 100, for row k 0..9. Values a line does not reach keep theirs; other lines
// are passed over.
void parseCharaTable(const char* text, int32_t length);

// Sets the base ATK, DEF, MAG, MDEF, HP and SP of the eight adventurers of
// that game from their levels and their chara rows; the HP and SP bonuses
// stay. Runs for a new game, a new loop, departure and every level-up.
void recomputeLevelStats(GameState& game);
// The shown HP and SP move 1% of their maximum per tick toward the real ones
// (the dungeon control and the pause menu run it).
void easeGauges();
// One stat at 0-based level: the level-1 value e moved toward the level-100
// value h by level / 100, truncated toward zero. Pure.
int32_t statForLevel(int32_t e, int32_t h, int32_t level);
// The chosen adventurer's attack, defence, magic and magic-defence totals
// from base values and the five equipped items, into gParty.totals; clears
// the party's equipment-effect block.
void recomputeAdventurerTotals();
// Cumulative experience that leaves level index n - 1: 0 for n = 0, else
// n (n + 1) 150, with n held to the levels there are. Pure.
int32_t getExpForLevel(int32_t n);
// A loaded game's adventurers: a level outside the levels there are is held
// to them, and such a level or an experience range that runs backwards gets
// its level's range again.
void repairAdventurerLevels(GameState& game);
// Puts the eight adventurers of a game record back at the start of a level
// with their chara rows' level-1 stats and no experience: level 0 for all,
// or with startLevels each chara row's start level (adventurer 0 always at
// level 0). recomputeLevelStats then sets the stats of those levels.
void resetAdventurerRecords(GameState& game, bool startLevels);
// One level-up step of the record (the chosen adventurer's in the running
// game): the next level, its stats, full HP and SP; at the highest level
// only the excess experience is dropped and HP and SP refilled.
void levelUp(AdventurerRecord& record);

// A modal "system" box "<text> <value>" for a content error found in play.
void showDebugMessage(const char* text, int32_t value);

// ---- The party of a field stage.
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
    // What the effect objects follow of a running skill: its anchor point,
    // whether it still runs, a stored height and its gauge counter. The
    // skill routines write them.
    Vector3 skillPoint;
    int32_t skillActive;
    float skillHeight;
    int32_t skillGauge;
};

// ---- Motions and movement.
// Switches a figure to motion id; the same id keeps its time.
void setMotion(MotionState& state, int32_t id);
// One animation step of a figure of that model at that speed (1.0 normal).
void advanceMotion(MotionState& state, int32_t model, float speed);
// Puts member 0 at (x, z) facing angle, still, with the camera snapped.
void placePlayer(float x, float z, float angle);
// A floor starts: the fairy rests before she wanders again.
void resetFairyWander();
// A floor starts: its first tick clears the input, no warp or heroine's
// comment is pending and no time-out enemy has come.
void resetFloorControl();
// The follower, the fairy and the members' ground heights.
void moveFollowers();
// The party's tick when nobody controls it.
void updateIdleParty();

// ---- Attack objects: every swing, shot, beam, falling rock and grab of the
// field, of either side, in one fixed pool (free when the kind is 0). The
// spawners fill a record taken with allocAttackObject; updateAttackObjects
// moves, resolves and ends it by its kind; the field drawing reads the pool
// up to gWorldDraw.effectCounts.attackObjects.
constexpr int32_t ATTACK_OBJECT_POOL_SIZE = 512;
// Whom an object hits: the party's side enemies and floor objects, an
// enemy's the controlled character, a trap's both (but not its own owner).
enum AttackSide : int32_t { ATTACK_SIDE_PARTY = 0, ATTACK_SIDE_ENEMY = 1, ATTACK_SIDE_TRAP = 3 };

struct AttackObject {
    int32_t kind;            // 0 free
    int32_t side;            // AttackSide
    int32_t anchor;          // -1 placed from the leader, 0..4 from that clone
    int32_t ownerParty;      // 0 gParty (the party's side), -1 none
    int32_t ownerEnemy;      // gEnemies index of the enemy that made it, -1 none
    CollisionHit ground;     // the last ground found under it
    Vector3 position;
    Vector3 velocity;        // added to the position at the start of every tick
    Vector3 origin;          // start, anchor or aim point, per kind
    Vector3 target;          // the homing kinds' last target point
    float pitch, yaw, roll;
    int32_t age;             // ticks; a spawner may start it below 0 to delay it
    int32_t variant;         // per kind: sub-index, bounce counter or mark
    int32_t pointIndex;
    float hitRadius;         // reach added to the target's radius; negative shrinks
    float power;             // damage factor
    int32_t critical;
    float lifeScale;
    uint8_t spare[2];
    uint8_t bouncesLeft;     // kind 100: relaunches left after a hit
    int32_t wallCheck;       // nonzero: tested against walls and breakable blocks
    Matrix4 orientation;
    float scale;
    int32_t frameCounter;    // the drawing blinks some kinds on it
    int32_t homingTarget;    // kind 124's locked enemy (gEnemies index), -1 none
    int32_t serial;          // each target is hit once per serial
};
// One tick of every live attack object, in pool order.
void updateAttackObjects();
// The first free record, set to a fresh object's starting words (kind still
// 0, a new serial, no owner); null when all are live and the request drops.
AttackObject* allocAttackObject();
// The serial the next object gets; serials only grow.
int32_t takeAttackSerial();
// Steers the object's velocity toward an enemy (target a pool index, or -1
// to choose the nearest one in view now); returns the index used or -1.
int32_t findHomingTarget(AttackObject& a, float maxSpeed, float maxSteer, float gain, float damping,
                         int32_t target);
// What one attack object touches now: 0 nothing (or hits are suspended), 1 a
// target was hit, 2 the controlled character guarded it.
int32_t resolveAttackHit(AttackObject& a);

// ---- Effect objects: the hard-coded visual effects (dust, splashes,
// sparks) started by the field's figures.
// Starts effect objects of kind at a point; count is per kind. Until the
// effect objects' kinds arrive nothing is started.
void spawnEffectObject(const void* owner, float x, float y, float z, int32_t kind, float scale, int32_t count);
// Starts the attack objects of one enemy's attack kind; side 1 hits the
// party, side 3 also the other enemies. The enemies' attack kinds arrive
// with the enemy behaviours; until then nothing starts.
struct Enemy;
void spawnEnemyAttack(Enemy& enemy, int32_t kind, int32_t side);

// ---- The adventurer's bag on a run: BAG_SIZE item keys (-1 empty, kept
// packed from the first entry), of which the first gBagCapacity are usable
// (adventurers/adventurers_state.h). The departure screen packs it, the
// title empties it when a game starts, the dungeon fills it and the item
// choice brings it back.
constexpr int32_t BAG_SIZE = 38;
// The usable entries a merchant of this 0-based level may carry: 20, then
// 25 from level 16, 30 from 23 and 35 from 39.
int32_t bagCapacityForLevel(int32_t merchantLevel);
// Stores key in the first empty of the first capacity entries; 1 when
// stored, 0 when none of them is empty.
int32_t addToBag(int32_t key, int32_t capacity);
// Every entry empty.
void emptyBag();
// Member 0 takes amount of HP damage (hit resolution, falls): the voice, the
// revive (2510) at 0 HP and the emergency heal (2505) below half.
void applyDamageToPlayer(int32_t amount);
// The trap protection item (2508): 1 when worn, and then it acted.
int32_t tryItemEffect2508();
// An item flies into the bag (kinds from 7: item id kind - 7): the score,
// the heroine's voice, the item-get popup and, when stored, its sound.
void pickUpItem(int32_t kind, int32_t itemFlags, int32_t plus);
// Eating and medicines from the field menu.
// The nominal maximum-HP gain of a medicine (4101..4107), else 0.
int32_t getMaxHpGain(int32_t key);
// A food's HP (its attack) and SP (its defence) values, raised by a plus.
int32_t getFoodHp(int32_t key);
int32_t getFoodSp(int32_t key);
// 0 nothing, 1 HP, 2 SP, 3 both; the gains as applied. HP stays at 1 or more.
int32_t useFood(int32_t key, int32_t* hpGain, int32_t* spGain);
// The value the item window shows: the maximum-HP gain applied (the bonus
// stops at 200), 30 for the attack and defence buffs, else 0.
int32_t useMedicine(int32_t key);

// ---- The speech balloon over a party member that announces pick-ups,
// item effects and the shop's talk; steps it once per tick. Main thread.
void showActorMessage();

// ---- The player's control of member 0 on a dungeon floor (and of the
// heroine on the shop floor), once per logic tick from the field frame.
// The dungeon floor's per-tick entry: start voices, the heroine's comment,
// updateDungeonPlayer and the balloon.
void updateDungeonParty();
// Member 0's tick: input, status, actions, gems, the time limit, movement.
void updateDungeonPlayer();
// The status timers and animation steps of the field's party.
void updateStatusOfPlayer();

// ---- The heroine's side of the shop on shop and town stages: walking,
// stocking shelves and vending machines, the shop and fairy menus, editing
// the decorations and moving the tables, opening the shop (whose day then
// runs the counter), leaving for the town, and the morning greeting, the
// day phases and the night talk. updateShopFloor runs once per logic tick
// from the field frame; main thread.

// gShopFloor.shopFloorState.
enum ShopFloorStateCode : int32_t {
    SHOP_FLOOR_MENU = 0,             // the shop menu
    SHOP_FLOOR_WALKING = 1,
    SHOP_FLOOR_EDITING = 2,          // moving tables
    SHOP_FLOOR_DECORATING = 3,       // choosing a decoration
    SHOP_FLOOR_OPEN = 4,             // the shop day runs
    SHOP_FLOOR_MENU_CHOSEN = 10,
    SHOP_FLOOR_FAIRY_MENU = 15,
    SHOP_FLOOR_FAIRY_CHOSEN = 16,
    SHOP_FLOOR_INFO_PAGE = 17,       // atmosphere, news, orders
    SHOP_FLOOR_LEVEL_LIST = 18,
    SHOP_FLOOR_HOLDS_OVERLAY = 23,   // a decoration's pictures load
    SHOP_FLOOR_LECTURES = 30,
    SHOP_FLOOR_ITEM_INFO = 50,
};
// The lengths of the shop menu's list (A) and the fairy menu's list (B).
constexpr int32_t SHOP_MENU_A_MAX = 7;
constexpr int32_t SHOP_MENU_B_MAX = 8;

// Floor start: walking, not leaving.
void resetShopFloorState();
void updateShopFloor();
// Entrance 0 the door, 1 inside.
void placePlayerAtEntrance(int32_t entrance);
// The closed shop, inside, facing the fairy.
void enterShop();
// The shop entered through the door, with the story's morning hooks.
void enterShopFromDoor();
// While tables are moved: the carried items over the moved shelf's cells.
void drawShopPlacementGrid();
// A phase has closed: the controlled character's action state is reset and
// the shopkeeper stands behind the counter at (x, z), facing the camera.
void placeShopkeeper(float x, float z);

// ---- The shop floor's grid of SHOP_GRID_COLUMNS x SHOP_GRID_ROWS cells
// (gShopGrid), the shelves (display tables) standing on it with the items
// on their cells, and the shop's atmosphere point. The shelf positions,
// items, vending words and decorations live in the running GameState;
// gShopGrid is rebuilt from them. Main thread.
constexpr int32_t SHOP_GRID_COLUMNS = 20;   // x 0..19
constexpr int32_t SHOP_GRID_ROWS = 15;      // z 0..14
constexpr int32_t SHELF_CELL_COUNT = 4;     // cells a shelf covers

// Each shelf's shape: 3 a 2 x 2 shelf, 4 four cells in a line.
extern const int32_t SHELF_SHAPES[SHELF_LAYOUT_COUNT];
// The highest-numbered shelf covering the cell; -1 none.
int32_t findShelfAt(int32_t x, int32_t z);
// A layout read from a save that puts a shelf off the floor, on a wall or
// over another shelf is put back to the size's default layout. Returns 1
// when it was reset.
int32_t repairShelfLayout(GameState& game);
// Every shelf item, vending machine and vending stock back to storage, the
// size's default layout, the atmosphere recomputed.
void applyShopLayout(GameState& game);

// A cell of the grid; -1 none.
struct ShopCellPos {
    int32_t x;
    int32_t z;
};

// The shop's atmosphere point: P from the decorations and the fancy and
// plain items, Q from the decorations and the holy and sinister items, each
// -13..13.
struct ShopAtmosphere {
    int32_t decoration;   // P
    int32_t items;        // Q
};
constexpr int32_t SHOP_ATMOSPHERE_LIMIT = 13;
// Sums the decorations and the shop's items into gShopAtmosphere.
void computeShopAtmosphere();
