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

void resetFloorObjects() {
    for (FloorObject& o : gFloorObjects) {
        o = FloorObject{};
        o.kind = -1;
    }
}
