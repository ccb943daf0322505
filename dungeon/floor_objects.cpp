#include "dungeon/floor_objects.h"

int32_t placeFloorObject(const Vector3&, const Vector3&, float, int32_t) { return 0; }

FloorObject gFloorObjects[FLOOR_OBJECT_COUNT];

namespace {
constexpr FloorObjectKind NO_MODEL = {-1, 0, 0.0f, 0, 0};
}  // namespace

const FloorObjectKind FLOOR_OBJECT_KINDS[FLOOR_OBJECT_KIND_COUNT] = {
    NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL,
    NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL, NO_MODEL,
};

// Kinds 7 and 9..22 are never placed.
const FloorObjectBody FLOOR_OBJECT_BODIES[FLOOR_OBJECT_KIND_COUNT] = {
    {3.0f, 10.0f, 1},   // tree
    {2.0f, 2.0f, 0},    // tree
    {1.0f, 10.0f, 1},   // grass
    {1.0f, 10.0f, 1},   // grass
    {5.0f, 6.0f, 1},    // treasure chest
    {5.0f, 6.0f, 1},    // trap chest
    {4.0f, 6.0f, 1},    // return gate
    {0.0f, 0.0f, 0},
    {0.3f, 2.0f, 1},    // magic circle to the next floor
};

void resetFloorObjects() {
    for (FloorObject& o : gFloorObjects) {
        o = FloorObject{};
        o.kind = -1;
    }
}

// The door cut-scene and the objects' animations arrive with the floor
// objects' behaviour.
void updateSwitchCut() {}
void animateFloorObjects() {}
