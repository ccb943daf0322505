// dungeon/floor_objects.h: the placed objects of a floor (trees, grass,
// torches, chests, trap chests, return gates, the next-floor magic circle)
// in one fixed pool, and the switches a stage script reveals with a short
// door cut-scene.
//
// Placement runs on the scene loader thread during startFloor and on the
// main thread from scripts; animation and the cut-scene on the main thread.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "field/field.h"

constexpr int32_t FLOOR_OBJECT_MAX = 512;
constexpr int32_t FLOOR_OBJECT_FADE_PARTS = 100;
constexpr int32_t FLOOR_OBJECT_RECENT_HITS = 10;
constexpr int32_t FLOOR_OBJECT_KIND_COUNT = 23;

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

// One row per kind: what the renderer and collision read, and the hit
// points a placed object starts with.
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
};
extern SwitchRegistry gSwitchRegistry;
extern int32_t gSwitchCutFrame;   // frames the door cut-scene has run

constexpr int32_t SWITCH_CUT_FRAMES = 120;
constexpr int32_t CHEST_FADE_FRAMES = 120;
constexpr int32_t RETURN_GATE_GLOW_MAX = 1360;

// Takes the first free slot for kind at position (y set to the ground
// under it, 0 when none), size and angle in radians; returns its index, or
// -1 when the pool is full or the kind is unknown (the report is logged).
int32_t placeFloorObject(const Vector3& position, const Vector3& size, float angle, int32_t kind);
// Places the object as above, hidden, and registers it as switch row (0 or 1).
int32_t placeSwitchObject(int32_t row, int32_t kind, const Vector3& position, const Vector3& size, float angle);
// Reveals switch row if still hidden: starts the 120-frame door cut-scene.
void triggerSwitchCut(int32_t row);
// Forgets the registered switches and the last row shown before a new scene
// starts; a queued event request stays.
void resetSwitchState();
// One frame of the door cut-scene, after gSwitchCutTimer was decremented.
void updateSwitchCut();
// One frame of animation of the whole pool.
void animateFloorObjects();
// Every slot free (a floor starts); the switch rows stay as registered.
void clearFloorObjects();

// Back to the values a fresh process starts with.
void resetFloorObjects();
