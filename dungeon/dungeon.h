// dungeon/dungeon.h: what other folders and game/ may use of the dungeon:
// the field's per-tick frame, the floor start, the enemy kinds, the placed
// objects, the pickups, the floor's conditions, event requests and the
// departure screen. Its words are in dungeon/dungeon_state.h.
#pragma once
#include <cstdint>

#include "dungeon/dungeon_files.h"
#include "dungeon/dungeon_state.h"
#include "engine/math.h"
#include "engine/stage_index.h"

// The field's frame (game mode 1), shop floor and dungeon alike.
void updateFieldFrame();
// The field's life without any control, under an event or the pause.
void updateDungeonScenery();
// The party's sprites and shadows are not drawn this frame.
bool charactersHidden();
// The floor-start countdown (gRun.floorIntroTimer): the party is not drawn
// above 90 and grows in from 90 to 60.
int32_t floorIntroFrames();
// Frames since the floor's countdown ended; the start voices play on it.
int32_t startVoiceFrame();
// The player steers (no countdown, prompt or run end holds the party).
bool playerControlFree();

// Starting a stage of the field, shop or dungeon (on the scene loader
// thread; the shop entry and the town map call it directly).
void startFloor();
// What a floor start leaves to the main thread, run at the loader's end (or
// right after a direct startFloor).
void finishFloorStart();
// A run starts: readies the adventurer and the loot odds.
void beginExpedition();
// Unlocks the chosen adventurer's skills that the level reached allows.
void refreshSkillUnlocks();
// On return from the dungeon: the items that belong to the adventurer leave
// the bag, her own equipment goes in, and the saved equipment sets return.
// The item choice runs it first.
void settleBagOnReturn();
// The shelves the current stage's layout placed (its group B blocks); the
// vending sales try only those.
int32_t countPlacedShelves();
// gStageIndex := the stage of the run's dungeon and floor.
void selectDungeonStage();
// Lays out the current dungeon floor (gFloorGrid.mapGrid and its rooms, start, exit,
// chests and traps), drawing from the shared random generator.
void generateFloor();
// Runs the floor's clock down by frames; when it has run out it starts
// again at restart frames and the result is true.
bool countDownFloorTime(int32_t frames, int32_t restart);
// The step of the current fixed floor's script; 0 while none runs.
int32_t floorScriptStep();
// Turns the crystal block of the finale floor of dungeon 4 one step.
void spinFinalFloorBlock();

// The enemy kinds: the compiled-in table, whose stats and drops the data
// files overwrite at start-up.
constexpr int32_t ENEMY_KIND_CAPACITY = 100;
constexpr int32_t ENEMY_KIND_NAME_SIZE = 32;
enum EnemyModelKind : int32_t {
    ENEMY_MODEL_SPRITE = 0,    // a sprite sheet and motion table
    ENEMY_MODEL_SKINNED = 1,   // a gEnemyModels slot
    ENEMY_MODEL_END = 2,       // ends the kind table
};
struct EnemyKind {
    char name[ENEMY_KIND_NAME_SIZE];   // matched at the start of data lines
    int32_t modelKind;     // EnemyModelKind
    int32_t modelNumber;   // sprite sheet and motion number, or gEnemyModels slot; -1 none
    float scale;           // drawing and size scale
    float shadowSize;      // 0: no shadow
    float animSpeed;       // sprite kinds' motion speed
    int32_t baseHp;        // the six stats "data/enemy.txt" overwrites, in its order
    int32_t baseExp;
    int32_t attack;
    int32_t defence;
    int32_t magic;
    int32_t magicDefence;
    float pushRadius;
    float centreHeight;
    float hitRadius;
    float wallRadius;
    int32_t dropItems[2];  // item ids, -1 none
};
extern EnemyKind gEnemyKinds[ENEMY_KIND_CAPACITY];
// The compiled-in rows, the data files' stats and drops forgotten.
void resetEnemyKinds();
// The kind whose name is the longest beginning of the line (the first of
// equal length), scanning up to the end row; blank names never match. -1 none.
int32_t findEnemyKindAt(const char* line, const char* end);
// "data/enemy.txt": the compiled rows, then the file's stats and drops.
void loadEnemyKinds();
// The lines of an enemy table over gEnemyKinds as it stands.
void parseEnemyKinds(const char* text, int32_t length);

// Which enemies a dungeon floor holds, from "data/enemylist.txt".
constexpr int32_t SPAWN_DUNGEONS = 10;
constexpr int32_t SPAWN_FILE_DUNGEONS = 6;        // "DungeonNum_1" .. "DungeonNum_6"
constexpr int32_t SPAWN_ROWS = 60;
constexpr int32_t SPAWN_ENTRIES = 31;
constexpr int32_t SPAWN_DROPS = 3;
// The units one list line may ask for: the loader clamps its count to 0..128.
constexpr int32_t SPAWN_COUNT_MAX = 128;
struct SpawnEntry {
    int32_t kind;      // -1 ends the list
    int32_t variant;
    int32_t count;
};
struct FloorSpawnRange {
    int32_t floorFrom;   // 0-based; -1 ends the dungeon's list
    int32_t floorTo;
    SpawnEntry entries[SPAWN_ENTRIES];
    int32_t drops[SPAWN_ENTRIES][SPAWN_DROPS];   // item ids, -1 none
};
extern FloorSpawnRange gFloorSpawnTable[SPAWN_DUNGEONS][SPAWN_ROWS];
extern int32_t gWispDrops[SPAWN_DUNGEONS];   // per dungeon, -1 none
void loadFloorEnemyLists();   // "data/enemylist.txt"
// The lines of an enemy list file, after emptying every row and wisp drop.
void parseFloorEnemyLists(const char* text, int32_t length);

// The floor conditions, from "data/snews.txt".
constexpr int32_t CONDITION_DUNGEONS = 6;
constexpr int32_t CONDITION_ROWS = 30;
constexpr int32_t CONDITION_PAIRS = 20;
constexpr int32_t CONDITION_COUNT = 64;
constexpr int32_t CONDITION_NAME_SIZE = 64;   // 63 characters and the terminator
constexpr int32_t CONDITION_NONE = -2;        // "NON": a pick that means no condition
struct ConditionPair {
    int32_t id;       // -1 empty, -2 no condition
    int32_t weight;
};
struct FloorConditionRange {
    int32_t floorFrom;   // 1-based, inclusive; -1 an empty row that ends the list
    int32_t floorTo;
    ConditionPair pairs[CONDITION_PAIRS];
};
struct FloorCondition {
    int32_t enabled;
    char name[CONDITION_NAME_SIZE];
};
extern FloorConditionRange gFloorConditionRanges[CONDITION_DUNGEONS][CONDITION_ROWS];
extern FloorCondition gFloorConditions[CONDITION_COUNT];
extern int32_t gFloorConditionCount;
void loadFloorConditions();   // "data/snews.txt"
// The lines of a floor condition file, after emptying every row and condition.
void parseFloorConditions(const char* text, int32_t length);

// ---- The enemy pool (gEnemies, dungeon/dungeon_state.h). Main thread, but
// for a floor's first population, spawned on the scene loader thread.
// Takes a free record that has waited out its reuse scans and resets every
// field to its spawn default; null when none is free.
Enemy* allocEnemy();
// Brings an enemy of a kind to life at a point; null when the pool is full.
Enemy* spawnEnemy(float x, float y, float z, int32_t kind);
// The level of a kind on the current floor (dungeon, floor, Boss Rush).
int32_t getFloorEnemyLevel(int32_t kind);
// 1 + level x 0.1, or x 0.12 from level 50: scales a kind's attack values.
float getEnemyLevelScale(int32_t kind);
// Switches a 3D-model enemy's motion (slot 0, or all four slots) with a
// ten-frame cross-fade from the channel it played.
void setEnemyMotion(Enemy& e, int32_t motion);
void setEnemyMotion4(Enemy& e, int32_t a, int32_t b, int32_t c, int32_t d);
// Turns yaw toward the controlled character by at most step.
void turnEnemyTowardPlayer(Enemy& e, float step);
// One frame of the whole pool: respawns, HP bars, sleep, animation,
// behaviour or dying, movement, centres and the kill height.
void updateEnemies();
// Per-part frames of every 3D-model enemy from its motion channels.
void updateEnemyMotionFrames();
// Takes amount from the enemy's HP with popups (label flags: bits 1, 2, 4,
// 8), small pickups for a labelled hit and the kinds' damage hooks; kills
// it at an HP below 1 unless a kill delay holds it at 0.
void damageEnemy(Enemy& e, int32_t amount, int32_t flags);
// The enemy turns dying: kill combo, experience, the drop roll.
void killEnemy(Enemy& e);
// The floor's boss fight: dungeon 0 floor 4 and dungeon 4 floors 29 and 99;
// otherwise a boss floor whose spawn row lists a boss kind.
bool hasBossOnFloor();
// Breakable block i (gBreakableObjects) breaks apart. Until the breakable
// blocks' breaking arrives it only stops being alive.
void destroyBreakableObject(int32_t i);
// Springs a trap of kind at (x, z); 1 when it fired. Until the traps' kinds
// arrive nothing fires.
int32_t triggerTrap(float x, float z, int32_t kind);
// An opened chest's drop at a point. Until the chest loot arrives nothing drops.
void rollChestLoot(float x, float y, float z);

// Marks (non-zero) flag k for every enemy kind k the current floor can
// show (its spawn row's kinds and those events may add); the caller clears
// the flags first. A floor without a row marks nothing.
void markFloorEnemyKinds(int32_t flags[ENEMY_KIND_CAPACITY]);
// Outside dungeon 5 every fifth floor (index % 5 = 4); in dungeon 5 every
// floor from index 29 (the Boss Rush floors).
bool isBossFloor();

// One row per kind of placed object: what the renderer and collision read,
// and the hit points a placed object starts with.
constexpr int32_t FLOOR_OBJECT_KIND_COUNT = 23;
struct FloorObjectKindRow {
    int32_t type;        // -1 drawn as a disc, 0 decoration, 1 model with a hit reaction
    int32_t model;
    int32_t hitPoints;
    float values[3];
    int32_t flags[3];
};
extern const FloorObjectKindRow FLOOR_OBJECT_KINDS[FLOOR_OBJECT_KIND_COUNT];
// How the field's drawing reads a row: type -1 none (the circle is drawn by
// the effects), 0 a field mesh, 1 a field model; the third float is the
// shadow's size (0 none); the third flag asks for culling; every placed kind
// draws in pass 0.
inline int32_t floorObjectKindPass(const FloorObjectKindRow&) { return 0; }
inline float floorObjectKindShadow(const FloorObjectKindRow& row) { return row.values[2]; }
inline bool floorObjectKindCulls(const FloorObjectKindRow& row) { return row.flags[2] != 0; }

// Takes the first free slot for kind at position (y set to the ground
// under it, 0 when none), size and angle in radians; returns its index, or
// -1 when the pool is full or the kind is unknown (the report is logged).
int32_t placeFloorObject(const Vector3& position, const Vector3& size, float angle, int32_t kind);
// Forgets the registered switches and the last row shown before a new scene
// starts; a queued event request stays.
void resetSwitchState();

// Scatters up to count pickups of one kind (gems 0..3, items id + 7) from a
// point, flung out at speed; plus -1 draws a random plus for items.
void sprayDrops(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                int32_t itemFlags, int32_t callerWord, int32_t frozen, int32_t plus);
void sprayDropsRandomPlus(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                          int32_t itemFlags, int32_t callerWord);
void sprayDropsWithPlus(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                        int32_t itemFlags, int32_t callerWord, int32_t plus);
// The gem kind of a dropped gem.
int32_t pickDropKind();
// A number popup in the first free of the 32 (none when all run): damage
// lasts 90 frames for type 5, numbers 90 for types 1 and 3, else 60.
void spawnDamagePopup(float x, float y, float z, int32_t value, int32_t type);
void spawnNumberPopup(float x, float y, float z, int32_t value, int32_t type);

// 1 on a dungeon stage when id is among the floor's active conditions.
int32_t isFloorConditionActive(int32_t id);
// Chooses the floor's condition from its row of the condition table, drawing
// from the shared random generator; none on boss floors, while story flag
// 154 or 176 is set, or when the row's weights sum to 0 or less.
void rollFloorConditions();
// Once per tick of the dungeon control: after the ticker's band has closed
// the condition names slide in, up to CONDITION_NAME_SLIDE_MAX.
void advanceConditionNameSlide();

// Starts event iv<major>_<minor> with the loader mode (1 and 4 fade in once
// loaded, 3 and 4 fade out quickly at the end); 1 when taken, 0 while
// another event loads or runs, and then nothing changes.
int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode);
// Every tick: a queued request starts once no event runs; until then the
// controlled character is held at its point.
void updateQueuedEvent();

// The adventurers' guild departure screen (mode 11): set up when the mode
// is entered, one tick, and its drawing.
void initDepartureScreen();
void updateDepartureScreen();
void drawDepartureScreen();
void drawDepartureScrollArrows();
// Battles of the running Boss Rush course: 3, 5, 8, 13 for courses 1..4; 0 outside one.
int32_t getBossRushBattleCount();
// Around an overlay over the departure screen: its list cursors kept and given back.
void saveDepartureListState();
void restoreDepartureListState();
