#include "dungeon/floor_objects.h"

int32_t placeFloorObject(const Vector3&, const Vector3&, float, int32_t) { return 0; }

FloorObject gFloorObjects[FLOOR_OBJECT_COUNT];

// Rows 7 and 9..22 belong to kinds no floor places.
const FloorObjectKindRow FLOOR_OBJECT_KINDS[FLOOR_OBJECT_KIND_COUNT] = {
    {0, 0, -1, {3.0f, 10.0f, 1.0f}, {1, 1, 1}},   // tree
    {0, 1, -1, {2.0f, 2.0f, 0.5f}, {0, 1, 1}},    // tree
    {0, 2, -1, {1.0f, 10.0f, 0.0f}, {1, 1, 1}},   // grass
    {0, 3, -1, {1.0f, 10.0f, 0.0f}, {1, 1, 1}},   // grass
    {1, 2, 1, {5.0f, 6.0f, 0.0f}, {1, 1, 1}},     // treasure chest
    {1, 2, 1, {5.0f, 6.0f, 0.0f}, {1, 1, 1}},     // trap chest
    {1, 3, 1, {4.0f, 6.0f, 0.0f}, {1, 1, 1}},     // return gate
    {},
    {-1, 0, 5, {0.3f, 2.0f, 0.0f}, {1, 1, 1}},    // magic circle to the next floor
};

void resetFloorObjects() {
    for (FloorObject& o : gFloorObjects) {
        o = FloorObject{};
        o.kind = FLOOR_OBJECT_FREE;
    }
}

// The door cut-scene and the objects' animations arrive with the floor
// objects' behaviour.
void updateSwitchCut() {}
void animateFloorObjects() {}
