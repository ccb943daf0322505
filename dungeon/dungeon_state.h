// dungeon/dungeon_state.h: the dungeon's state as records, one per concern,
// each with its row in DUNGEON_STATE (dungeon/dungeon_state.cpp): the run,
// the current floor's layout and plan, its pools (enemies, placed objects,
// pickups, number popups), its conditions and the status the HUD shows.
// Other folders read and write the run, the layout, the pools and the HUD's
// words; the floor start's, the generator's and the scripts' records are
// the dungeon's own, reached from outside through its services. The floor
// start fills the floor's words on the scene loader thread while the main
// thread only shows the loading sign; otherwise main thread only.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/math.h"
#include "engine/skin_models.h"
#include "engine/state_table.h"
#include "field/field.h"
#include "field/field_state.h"

// The run: which dungeon and floor, how it ends, and the field frame's
// sequences that hold the player. startFloor sets them at each floor.
enum RunEndState : int32_t {
    RUN_GOES_ON = 0,
    RUN_DEFEATED = 1,
    RUN_RETURNED = 2,   // through a return gate
    RUN_CLEARED = 3,    // through the return gate of the dungeon's last floor
};
// -1 the player may act, 0 locked, 4 scripted walk.
enum PlayerControl : int32_t {
    PLAYER_FREE = -1,
    PLAYER_LOCKED = 0,
    PLAYER_SCRIPTED_WALK = 4,
};
struct RunState {
    int32_t dungeonIndex;        // current dungeon, 0..5
    int32_t bossRushCourse = -1;   // 1..4; -1 outside a Boss Rush
    int32_t bossRushBattle = -1;   // 0-based; -1 outside a Boss Rush
    int32_t runEndState;         // RunEndState
    int32_t runEndTimer;         // frames of the run-end sequence, 0..119
    int32_t specialMusicTimer;   // counted down by the field frame; music track 10 while above 0
    // Gate prompt: 0 idle, 1..118 frames since armed (2 opens the window), -1
    // refused until the character walks away, 119 leaving next frame, 120 leaving.
    int32_t gatePrompt;
    int32_t gateIsReturn;        // the gate last found in reach: 1 return gate, 0 magic circle
    int32_t gateGuard;           // frames before the prompt may arm again
    int32_t equipPrompt;         // "Equip items in bag?": 0 idle, 1..118 frames
    int32_t switchCutTimer;      // frames left of a door cut-scene
    int32_t hitStopTimer;        // hit-stop frames left
    int32_t hitStopInput;        // presses held back during a hit-stop
    int32_t slowMotionTimer;     // two of every three frames are skipped while it runs
    // Floor-start countdown: 200 on an expedition's first floor; the party
    // grows in from 90 to 60.
    int32_t floorIntroTimer;
    int32_t floorTime;           // frames in the current block of floors (the best time)
    int32_t lastHitTimer;        // HUD frames of the last hit value
    int32_t lastHitValue;        // the enemy last hit (pool index); its panel shows while the timer runs
    int32_t playerControl = PLAYER_FREE;
    int32_t charDrawFlag;        // cleared at every frame's start
    int32_t trailDue;            // the effect drawer runs the trail once and clears it
    // 1.0 from a floor's start, falling to 0 while a boss makes its entrance;
    // the light layer of the map fades with it.
    float bossCutFade = 1.0f;
    int32_t startVoiceTimer;     // counts after the floor's countdown; the start voices play on it
    int32_t startFloorIndex;     // the floor a run into dungeon 5 started from (0, 10 or 20)
};
extern RunState gRun;

// The adventurers' guild departure screen (mode 11): four nested foci,
// adventurer list -> bag list -> dungeon map -> block list, each cancel
// stepping back one. Main thread only.
constexpr int32_t DEPARTURE_DUNGEONS = 6;
enum DepartureLeave : int32_t { DEPARTURE_STAYS = 0, DEPARTURE_DEPART = 1, DEPARTURE_TO_TOWN = 2 };
enum DepartureBagState : int32_t { BAG_NOT_PACKING = 0, BAG_LIST_FOCUS = 1, BAG_CHOOSING = 2 };
struct DepartureScreenState {
    int32_t adventurerCursor;   // 0 "Leave", 1..n the available adventurers
    int32_t adventurerScroll;   // first shown row of five
    int32_t adventurerMode;     // 1 while the adventurer list has the focus
    int32_t bagState;           // DepartureBagState
    int32_t bagCursor;          // 0 "Depart!", 1..gBagCapacity the bag entries
    int32_t bagScroll;          // first shown row of six
    int32_t dungeonMode;        // 1 while the dungeon map has the focus
    int32_t dungeonCursor;      // 0..5
    int32_t floorMode;          // 1 while the block list has the focus
    int32_t floorCursor;
    int32_t floorScroll;        // first shown row of seven
    int32_t unlocked[DEPARTURE_DUNGEONS];   // open block-list entries per dungeon
    int32_t dungeonCount;       // dungeons offered, 2..6
    int32_t leaveMode;          // DepartureLeave
    int32_t introState;         // 1 show the packing message, 2 wait for it, 0 done
    int32_t frameCount;         // frames since the screen was entered
    int32_t equipmentShown;     // the running adventurer's filled equipment and saved-equipment entries
    int32_t infoOpen;           // 1 while a bag entry's info popup is open
};
extern DepartureScreenState gDepartureScreen;

// An event request's argument and a fall off the floor.
struct FieldEventState {
    int32_t eventStartArg;   // handed to the event's start; a request sets 0
    int32_t fallTimer;       // frames left of a fall off the floor; startFloor clears it
};
extern FieldEventState gFieldEvents;

// What the floor start keeps for the floor it started.
struct FloorStartState {
    // 1 from beginExpedition until the next startFloor, which then shows the
    // floor banner and starts the 200-frame countdown.
    int32_t expeditionStart;
    int32_t floorTimeLimit;     // frames left before the floor times out
    float floorStartHeading;    // the controlled character's, restored after a fall
};
extern FloorStartState gFloorStart;

// The fixed floors' scripts.
struct FloorScriptState {
    int32_t state;           // the floor script's step
    int32_t sequenceTimer;   // frames of the running floor sequence
};
extern FloorScriptState gFloorScript;

// The floor's layout: the dungeon's room grid, the shop's placed furniture
// blocks and the scripted (breakable) blocks, written by the floor generator
// and the floor start, read by the map collision and the map drawing.

// A cell of the grid by column and row.
struct GridCell {
    int32_t col;
    int32_t row;
};

constexpr int32_t MAP_GRID_SIZE = 15;

struct MapCell {
    int32_t blockId;      // index of one of the stage's map blocks; -1 empty
    int32_t rotation;     // quarter turns 0..3; 4 when no shape fitted (a one-cell floor)
    int32_t shapeIndex;   // 0..9
    int32_t flags;
};
struct FloorGrid {
    MapCell mapGrid[MAP_GRID_SIZE][MAP_GRID_SIZE];   // [row by z][column by x]
    int32_t roomsX;             // columns and rows of the grid in use
    int32_t roomsY;
    int32_t singleBlockFloor;   // 1: the floor is the one block of cell (row 1, column 1)
    int32_t invisibleWallsOn;   // 1: surfaces of code 7 collide
};
extern FloorGrid gFloorGrid;

// The shop's furniture: group A in slots 0..4, group B in slots 5 onward.
constexpr int32_t PLACED_SLOT_COUNT = 20;
constexpr int32_t PLACED_GROUP_A_MAX = 5;
constexpr int32_t PLACED_GROUP_B_MAX = 10;
constexpr int32_t PLACED_GROUP_B_FIRST = 5;
struct PlacedBlocks {
    int32_t countA;
    int32_t countB;
    int32_t blockId[PLACED_SLOT_COUNT];
    float position[PLACED_SLOT_COUNT][3];
    float yaw[PLACED_SLOT_COUNT];   // radians about y
};
extern PlacedBlocks gPlacedBlocks;

constexpr int32_t BREAKABLE_OBJECT_MAX = 50;
// Parallel arrays; entries below count are in use.
struct BreakableObjects {
    int32_t count;
    int32_t alive[BREAKABLE_OBJECT_MAX];
    int32_t hitsLeft[BREAKABLE_OBJECT_MAX];
    int32_t blockId[BREAKABLE_OBJECT_MAX];
    int32_t flashTimer[BREAKABLE_OBJECT_MAX];
    float position[BREAKABLE_OBJECT_MAX][3];
    float scale[BREAKABLE_OBJECT_MAX];
    float yaw[BREAKABLE_OBJECT_MAX];
};
extern BreakableObjects gBreakableObjects;

// The floor's marked cells (column, row): entry 0 the start, entry 1 the
// exit gate, entries 2 onward the chests; count is the number of chest cells.
// A mark shows on the mini-map once its seen flag is set.
constexpr int32_t LAYOUT_CELL_MAX = 10;
constexpr int32_t LAYOUT_CHEST_FIRST = 2;
constexpr int32_t LAYOUT_CHEST_MAX = LAYOUT_CELL_MAX - LAYOUT_CHEST_FIRST;
struct LayoutCells {
    int32_t count;                       // chest cells, entries 2 onward
    GridCell cells[LAYOUT_CELL_MAX];     // 0 start, 1 exit, 2.. chests
    int32_t floorCellSeen[LAYOUT_CELL_MAX];   // non-zero once the cell was seen
};
extern LayoutCells gLayoutCells;

// The floor generator's plan of the current floor: rebuilt by every
// generateFloor and read until the next floor starts (enemy spawner,
// minimap, warp trap, floor start).
constexpr int32_t ROUTE_CELL_MAX = 100;    // route cells stored (the count goes on)
constexpr int32_t TRAP_MAX = 20;

struct TrapEntry {
    Vector3 position;
    GridCell cell;
    int32_t kind;    // 0 none
    int32_t armed;   // 0 or 1
};

struct FloorPlan {
    int32_t routeGrid[MAP_GRID_SIZE][MAP_GRID_SIZE];   // [row][col]: 1 route cell
    GridCell routeCells[ROUTE_CELL_MAX];               // in the order added
    int32_t routeCount;                                // cells added, stored or not
    GridCell startCell;                                // the carve's first room
    // routeGrid with a row stride of roomsX: read through roomLinkAt.
    int32_t roomLinks[MAP_GRID_SIZE * MAP_GRID_SIZE];
    int32_t roomCount;                                 // routeCount of the last floor
    Vector3 floorStartPos;
    TrapEntry trapList[TRAP_MAX];
};
extern FloorPlan gFloorPlan;

// The floor's conditions ("windy", "slippery", ...), rolled once per floor
// and shown by a banner.
constexpr int32_t FLOOR_CONDITION_ACTIVE_MAX = 5;
constexpr int32_t FLOOR_CONDITION_MAX = FLOOR_CONDITION_ACTIVE_MAX;
constexpr int32_t FLOOR_CONDITION_NAME_SIZE = 256;

struct FloorConditionList {
    int32_t count;
    int32_t ids[FLOOR_CONDITION_ACTIVE_MAX];
    int32_t rollState;   // 0 not rolled on this floor, 1 rolled, 2 banner in fast mode
    // The names as the banner shows them, one after the other.
    int32_t nameOffsets[FLOOR_CONDITION_ACTIVE_MAX];
    char names[FLOOR_CONDITION_ACTIVE_MAX][FLOOR_CONDITION_NAME_SIZE];
    int32_t totalLength;   // the banner's scroll length
};
extern FloorConditionList gFloorConditionList;
constexpr int32_t CONDITION_NAME_SLIDE_MAX = 200;
struct ConditionBanner {
    int32_t counter;      // the banner's frame counter; 0 no banner
    // Set by the ticker's drawing when its band has closed; from then the
    // condition names slide in by nameSlide (0..200, advanced by the
    // dungeon control).
    int32_t tickerDone;
    int32_t nameSlide;
};
extern ConditionBanner gConditionBanner;

// The running floor's status the HUD and the overlay read.
struct FloorStatus {
    int32_t bossEntranceCutTimer;   // non-zero while a boss makes its entrance
    int32_t enemyKillCombo;         // consecutive kills of one kind
    int32_t enemyKillComboKind;     // the kind of the last kill; -1 none
};
extern FloorStatus gFloorStatus;

constexpr int32_t NUMBER_POPUP_COUNT = 32;
struct NumberPopup {
    Vector3 position;
    int32_t timer;      // counts down; 0 free
    int32_t duration;   // 60 or 90
    int32_t value;
    int32_t type;       // 0..9 numbers, 10 and up labels
};
extern NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

// The enemy pool: every enemy of a floor, boss or minion, breakable or
// summoned. allocEnemy sets every field when it takes a record; a freed
// record keeps its contents (the drawing of a dying boss reads them).
constexpr int32_t ENEMY_POOL_SIZE = 128;
constexpr int32_t ENEMY_MOTION_SLOTS = 4;     // slot 0 the whole body, 1..3 part groups
constexpr int32_t ENEMY_MOTION_CHANNELS = 2;  // cross-faded by blend
constexpr int32_t ENEMY_MODEL_PARTS = MODEL_ANIMATION_TIMES;
constexpr int32_t ENEMY_ATTACH_POINTS = MODEL_EXPORT_BONES;
constexpr int32_t ENEMY_HIT_SERIALS = 10;
enum EnemyState : int32_t { ENEMY_FREE = 0, ENEMY_ALIVE = 1, ENEMY_DYING = 2 };
// dormancy: asleep until the character comes near, or while it is far.
enum EnemyDormancy : int32_t { ENEMY_AWAKE = 0, ENEMY_ASLEEP_UNTIL_NEAR = 1, ENEMY_ASLEEP_WHILE_FAR = 2 };

struct Enemy {
    // Sprite kinds' animation. The enemy code also uses its direction (0..7),
    // its whiteFlash as the heal flash and its splitTimer as a counter that,
    // once positive, counts to 40 and returns to 0.
    MotionState motion;
    float blend;                 // weight of channel 1 against channel 0
    int32_t activeChannel;       // the channel the last motion switch filled
    int32_t motionIds[ENEMY_MOTION_SLOTS][ENEMY_MOTION_CHANNELS];
    float motionTimes[ENEMY_MOTION_SLOTS][ENEMY_MOTION_CHANNELS];   // frames
    int32_t partFrames[ENEMY_MOTION_CHANNELS][ENEMY_MODEL_PARTS];   // per model part, milliseconds
    int32_t age;                 // frames since the spawn; an attached golem arm's turns its crystal
    int32_t alpha;               // 0..255; 255 opaque
    Matrix4 orientation;         // copied into the enemy's attack objects
    float groundHeight;
    Vector3 centre;              // body centre, after each frame's update
    Vector3 position;
    Vector3 velocity;            // per frame
    Vector3 push;                // knock-back; its x and z fade by 0.95 a frame
    Vector3 home;                // the spawn point; the leash holds it within 300
    float yaw;
    int32_t kind;                // gEnemyKinds row
    int32_t state;               // EnemyState
    float hp;
    float shownHp;               // the HP bar, easing toward hp
    float maxHp;
    int32_t flinchTimer;         // behaviour skipped while above 0
    int32_t hitFlash;            // drawn white while above 0
    float viewDepth;
    // Per model attach point (a named frame of the .x model), written by the
    // skinned drawing: the ground under it, its position and its matrix.
    CollisionHit attachGround[ENEMY_ATTACH_POINTS];
    Vector3 attachPos[ENEMY_ATTACH_POINTS];
    Matrix4 attachMatrix[ENEMY_ATTACH_POINTS];
    int32_t attachWritten;       // bit k: attach point k was written by the last drawing
    int32_t glides;              // no ground friction while flinchTimer is below 1
    int32_t noLeash;
    int32_t noWallCheck;
    int32_t flying;              // a second, lower ring of wall probes
    int32_t parent;              // the body carrying this part (golem arms); -1 none
    CollisionHit groundHit;      // the last ground found under it
    int32_t phase;               // 0..63
    int32_t ai[7];               // behaviour: [0] state, [1] its frames, then counters
    int32_t aiExtra[10];
    int32_t noGround;            // no ground following, no death below the kill height
    Vector3 target;
    float aiFloat[3];
    float sizeFactor;            // overall size: drawing, and defence by its square
    float hitSize;
    float scaleX, scaleY;
    int32_t neverDormant;
    int32_t respawnTimer;        // while free: frames before it comes back
    int32_t revives;             // revivals left (skeletons)
    int32_t level;
    int32_t variant;
    int32_t dyingFrames;
    int32_t dormancy;            // EnemyDormancy; asleep: neither drawn nor hit
    float fadeIn;                // 0..1
    int32_t freezeTimer;         // start delay: nothing else happens while above 0
    int32_t noPlayerBlock;
    int32_t busy;                // out of reach of hits, traps and paralysing skills
    int32_t paralysis;
    int32_t hitStun;
    int32_t hitResponse;
    int32_t noDefence;
    int32_t summoned;            // experience 1, no kill combo, no respawn
    int32_t index;               // own pool index
    int32_t trapSpawned;         // 1 an orbiting trap minion, 2 a trap enemy without experience
    int32_t orbitSlot;
    Vector3 orbitCentre;
    int32_t guardMode;           // knock-back taken: 1 none, 2 half
    int32_t reuseTimer;          // allocEnemy scans to wait after it was freed
    int32_t hitSerials[ENEMY_HIT_SERIALS];   // attacks that hit it, -1 empty
    int32_t hitSerialNext;
    int32_t firstThink;
    int32_t healAmount, healTimer;
    int32_t kicked;              // bombs
    int32_t blocking;
    int32_t killDelay;           // while above 0 an HP below 1 is held at 0
    int32_t silhouette;          // drawn dark: it darkens what lies behind it
};
extern Enemy gEnemies[ENEMY_POOL_SIZE];

// Kept beside the pool for the floor's spawning.
constexpr int32_t ENEMY_PLACEMENT_SLOTS = 8;
struct EnemySpawnState {
    int32_t koboldReleased[BREAKABLE_OBJECT_MAX];   // the zazuru fight releases each object's kobold once
    int32_t placementOrder[ENEMY_PLACEMENT_SLOTS];  // a permutation of 0..7, shuffled per floor
    int32_t placedOnce;        // the floor's placed enemies were spawned
    int32_t spawnSerial;
    int32_t placementNext;     // rotating index into placementOrder
    int32_t spawnCount;        // records taken by allocEnemy since the floor started
};
extern EnemySpawnState gEnemySpawnState;

// The odds of the five classes of an enemy's drop roll: two of random
// items, then the kind's drop slots 0..2; kept by the loot odds.
constexpr int32_t DROP_CLASSES = 5;
struct DropOdds {
    float odds[DROP_CLASSES];
};
extern DropOdds gDropOdds;

// The placed objects of a floor (trees, grass, torches, chests, trap chests,
// return gates, the next-floor magic circle) in one fixed pool.
constexpr int32_t FLOOR_OBJECT_MAX = 512;
constexpr int32_t FLOOR_OBJECT_FADE_PARTS = 100;
constexpr int32_t FLOOR_OBJECT_RECENT_HITS = 10;

enum FloorObjectKind : int32_t {
    FLOOR_OBJECT_FREE = -1,
    FLOOR_OBJECT_TREE_A = 0,
    FLOOR_OBJECT_TREE_B = 1,
    FLOOR_OBJECT_GRASS_A = 2,
    FLOOR_OBJECT_GRASS_B = 3,
    FLOOR_OBJECT_CHEST = 4,
    FLOOR_OBJECT_TRAP_CHEST = 5,
    FLOOR_OBJECT_RETURN_GATE = 6,
    FLOOR_OBJECT_MAGIC_CIRCLE = 8,
};

enum FloorObjectState : int32_t {
    FLOOR_OBJECT_IDLE = 0,      // closed; only idle objects can be hit
    FLOOR_OBJECT_ACTIVE = 1,    // a return gate open; a hit decoration for a frame
    FLOOR_OBJECT_OPENED = 2,    // a chest or circle fading away
    FLOOR_OBJECT_HIDDEN = 3,    // a switch not yet revealed: not animated, not hit
};

struct FloorObject {
    Vector3 position;
    Vector3 home;          // the placement point on the ground; animations move around it
    Vector3 shakeOffset;   // drawing offset while shaking
    int32_t shakeFrames;
    CollisionHit ground;   // the ground under the placement point
    int32_t frameCount;    // frames animated since placement
    float yaw;             // the placement angle
    float tilt;
    float spin;
    float spinSpeed;
    Vector3 size;
    int32_t kind;          // FloorObjectKind, an index into FLOOR_OBJECT_KINDS
    int32_t wasHit;
    int32_t fadeLevels[FLOOR_OBJECT_FADE_PARTS];   // all written alike
    int32_t hitPoints;     // -1 indestructible
    int32_t state;         // FloorObjectState
    int32_t counter;
    int32_t recentAttacks[FLOOR_OBJECT_RECENT_HITS];   // serials, -1 empty; a ring
    int32_t recentIndex;
};
extern FloorObject gFloorObjects[FLOOR_OBJECT_MAX];

// The switches a stage script reveals with a short door cut-scene.
// Pool indexes of the objects registered as switch rows 0 and 1 (-1 none),
// and the last row shown by the running door cut-scene.
constexpr int32_t SWITCH_ROW_COUNT = 2;
// An event request held until the running one ends, with the point the
// controlled character waits at meanwhile.
struct QueuedEvent {
    int32_t pending;
    int32_t major;
    int32_t minor;
    int32_t loaderMode;
    Vector3 point;
};
struct SwitchRegistry {
    int32_t objects[SWITCH_ROW_COUNT];
    int32_t lastRowShown;
    QueuedEvent queued;
    int32_t switchCutFrame;   // frames the door cut-scene has run
};
extern SwitchRegistry gSwitchRegistry;

// Gems and items lying on a floor.
constexpr int32_t PICKUP_POOL_SIZE = 200;
constexpr int32_t PICKUP_GEM_LAST = 3;   // kinds 0..3 are gems; 7 and above item id + 7
constexpr int32_t PICKUP_ITEM_FIRST = 7;

enum PickupStateWord : int32_t { PICKUP_LOOSE = 0, PICKUP_SETTLED = 1, PICKUP_RISING = 2 };

struct Pickup {
    float x, y, z;
    float vx, vy, vz;
    int32_t unused[3];
    float groundHeight;
    int32_t kind;          // -1 free
    int32_t age;           // frames since dropped
    float timeScale;
    int32_t smallShadow;   // halves the shadow; nothing sets it yet
    int32_t itemFlags;     // key flags >> 4: 1 unidentified, 2 an adventurer's
    int32_t plus;
    int32_t state;         // PickupStateWord
    int32_t callerWord;
    const void* owner;
    CollisionHit ground;
    int32_t frozen;
};
extern Pickup gPickups[PICKUP_POOL_SIZE];

// Back to the values a fresh process starts with (a new boot in the same
// process), each for its own words.
void resetFieldFrameState();
void resetFieldEventState();
void resetFloorMap();   // an empty grid (every block -1), no furniture, no objects, flags off
void resetFloorConditions();
void resetFloorStatus();
void resetEnemies();    // every enemy free, the placement order shuffled
void resetEnemyPool();  // a fresh process: every record empty, no spawn state
void resetDropOdds();
void resetFloorObjects();
void resetPickups();    // every slot free
void resetFloorGenerator();
void resetFloorStart();
void resetFixedFloors();
void resetDepartureScreen();

// This folder's rows of the game's state registry.
extern const StateTable DUNGEON_STATE;
