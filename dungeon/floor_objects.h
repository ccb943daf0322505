// dungeon/floor_objects.h: the placed objects of a floor (trees, grass,
// torches, chests, gates).
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "engine/skin_models.h"
#include "field/map_collision.h"

// Takes the first free floor object for kind at position (its y set to the
// ground under it), size and heading in radians; returns its index, 0 when
// none is free. The pool arrives with the floor objects; until then nothing
// is placed.
int32_t placeFloorObject(const Vector3& position, const Vector3& size, float heading, int32_t kind);

// The placed objects of a floor; free while kind is -1.
constexpr int32_t FLOOR_OBJECT_COUNT = 512;
constexpr int32_t FLOOR_OBJECT_KIND_COUNT = 23;
constexpr int32_t FLOOR_OBJECT_GONE = 3;   // state: not drawn
struct FloorObject {
    int32_t kind;           // FLOOR_OBJECT_KINDS row; -1 free
    int32_t state;
    Vector3 position;
    float offsetX;          // added for drawing and culling
    float offsetZ;
    Vector3 scale;
    float yaw;
    float pitch;
    float roll;
    uint32_t animationTimes[MODEL_ANIMATION_TIMES];   // skinned kinds, milliseconds
    CollisionHit ground;
};
extern FloorObject gFloorObjects[FLOOR_OBJECT_COUNT];

// How a kind is drawn: model type 0 a field mesh, 1 a gFieldModels model,
// -1 none; the pass 0..3 (3 additive) it belongs to.
struct FloorObjectKind {
    int32_t modelType;
    int32_t modelNumber;
    float shadowSize;       // 0: no shadow
    int32_t pass;
    int32_t cull;
};
// The kinds' rows arrive with the floor objects; until then every kind has
// no model and no shadow.
extern const FloorObjectKind FLOOR_OBJECT_KINDS[FLOOR_OBJECT_KIND_COUNT];
// Every object free.
void resetFloorObjects();

// Floor-object kinds the floors place; the other rows are never placed.
enum FloorObjectKindNumber : int32_t {
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
// The body of each kind for the character's movement: radius and height
// (scaled by the object's x and y scale) and whether it blocks at all.
struct FloorObjectBody {
    float radius;
    float height;
    int32_t blocks;
};
extern const FloorObjectBody FLOOR_OBJECT_BODIES[FLOOR_OBJECT_KIND_COUNT];
// One frame of the door cut-scene while gSwitchCutTimer runs.
void updateSwitchCut();
// One frame of the floor objects' animations.
void animateFloorObjects();
