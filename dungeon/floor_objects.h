// dungeon/floor_objects.h: the placed objects of a floor (trees, grass,
// torches, chests, gates).
#pragma once
#include <cstdint>

#include "engine/math.h"

// Takes the first free floor object for kind at position (its y set to the
// ground under it), size and heading in radians; returns its index, 0 when
// none is free. The pool arrives with the floor objects; until then nothing
// is placed.
int32_t placeFloorObject(const Vector3& position, const Vector3& size, float heading, int32_t kind);

#include "field/map_collision.h"

constexpr int32_t FLOOR_OBJECT_COUNT = 512;
constexpr int32_t FLOOR_OBJECT_KIND_COUNT = 23;
constexpr int32_t FLOOR_OBJECT_FADE_LEVELS = 100;
constexpr int32_t FLOOR_OBJECT_RECENT_ATTACKS = 10;

// Kinds the floors place; the others of FLOOR_OBJECT_KINDS are never placed.
enum FloorObjectKind : int32_t {
    FLOOR_OBJECT_FREE = -1,
    FLOOR_OBJECT_TREE = 0,
    FLOOR_OBJECT_TREE_SMALL = 1,
    FLOOR_OBJECT_RETURN_GATE = 6,
    FLOOR_OBJECT_MAGIC_CIRCLE = 8,   // to the next floor
};
enum FloorObjectState : int32_t {
    FLOOR_OBJECT_IDLE = 0,       // or closed
    FLOOR_OBJECT_ACTIVE = 1,     // a return gate open
    FLOOR_OBJECT_FADING = 2,     // opened and fading away
    FLOOR_OBJECT_DISABLED = 3,   // hidden until its switch shows it
};

// One placed object of the floor.
struct FloorObject {
    Vector3 position;
    Vector3 home;              // placement point, y on the ground
    Vector3 shakeOffset;       // drawing offset while shaking
    int32_t shakeFrames;
    CollisionHit ground;
    int32_t frameCount;
    float yaw, tilt, spin;
    float spinSpeed;
    Vector3 size;              // scale in x, y, z
    int32_t kind;              // FloorObjectKind; -1 free
    int32_t wasHit;
    int32_t reserved[16];
    int32_t fadeLevels[FLOOR_OBJECT_FADE_LEVELS];
    int32_t hitPoints;         // -1 indestructible
    int32_t state;             // FloorObjectState
    int32_t counter;
    int32_t recentAttacks[FLOOR_OBJECT_RECENT_ATTACKS];
    int32_t recentIndex;
    int32_t spare;
};
extern FloorObject gFloorObjects[FLOOR_OBJECT_COUNT];

// One kind's row: the drawing type and model, its hit points, three sizes
// (the first two the collision radius and height) and three flags (the
// first: the kind blocks the character).
struct FloorObjectKindRow {
    int32_t type;
    int32_t model;
    int32_t hitPoints;
    float values[3];
    int32_t flags[3];
};
extern const FloorObjectKindRow FLOOR_OBJECT_KINDS[FLOOR_OBJECT_KIND_COUNT];

// Every floor object free.
void resetFloorObjects();
// One frame of the door cut-scene while gSwitchCutTimer runs.
void updateSwitchCut();
// One frame of the floor objects' animations.
void animateFloorObjects();
