#include "dungeon/pickups.h"

#include <cmath>

#include "engine/math.h"
#include "engine/random.h"

Pickup gPickups[PICKUP_POOL_SIZE];

// Gems take the first 136 slots only, so items always find room.
constexpr int32_t GEM_SLOT_LIMIT = 136;
constexpr int32_t PLUS_FREE_FIRST = 3200;   // ids 3200..3299 never carry a plus
constexpr int32_t PLUS_FREE_LAST = 3299;

static int32_t randomPlus() {
    int32_t r = randomInt() % 100;
    return r < 50 ? 0 : r < 70 ? 1 : r < 85 ? 2 : r < 95 ? 3 : 4;
}

void sprayDrops(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                int32_t itemFlags, int32_t callerWord, int32_t frozen, int32_t plus) {
    int32_t limit = kind < PICKUP_ITEM_FIRST ? GEM_SLOT_LIMIT : PICKUP_POOL_SIZE;
    int32_t placed = 0;
    for (int32_t i = 0; i < limit && placed < count; i++) {
        Pickup& p = gPickups[i];
        if (p.kind != -1) continue;
        p.x = x;
        p.y = y;
        p.z = z;
        p.vx = p.vy = p.vz = 0.0f;
        p.age = randomInt() & 7;
        p.itemFlags = 0;
        p.plus = plus > 0 ? plus : 0;
        p.callerWord = callerWord;
        p.frozen = frozen;
        if (kind >= PICKUP_ITEM_FIRST) {
            p.itemFlags = itemFlags;
            int32_t id = kind - PICKUP_ITEM_FIRST;
            if (plus < 0) p.plus = id >= PLUS_FREE_FIRST && id <= PLUS_FREE_LAST ? 0 : randomPlus();
        }
        p.kind = kind;
        p.timeScale = 1.0f;
        p.state = PICKUP_LOOSE;
        p.owner = owner;
        float s = (randomUnit() + 0.2f) * 0.5f;
        float a = 2.0f * PI * randomUnit();
        p.vx = s * sinf(a) * speed;
        p.vy = (randomUnit() + 0.2f) * speed * 0.5f;
        p.vz = s * cosf(a) * speed;
        placed++;
    }
}

void sprayDropsRandomPlus(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                          int32_t itemFlags, int32_t callerWord) {
    sprayDrops(owner, x, y, z, kind, count, speed, itemFlags, callerWord, 0, -1);
}

void sprayDropsWithPlus(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                        int32_t itemFlags, int32_t callerWord, int32_t plus) {
    sprayDrops(owner, x, y, z, kind, count, speed, itemFlags, callerWord, 0, plus);
}

// Gem kinds 1, 2, 3, 0 for the draws 0..3. The party's wish flags that steer
// every second call arrive with the pickups' collection.
int32_t pickDropKind() { return ((randomInt() & 3) + 1) & 3; }

static void startPopup(float x, float y, float z, int32_t value, int32_t type, int32_t duration) {
    for (NumberPopup& p : gNumberPopups) {
        if (p.timer > 0) continue;
        p.position = Vector3{x, y, z};
        p.duration = duration;
        p.timer = duration;
        p.value = value;
        p.type = type;
        return;
    }
}

void spawnDamagePopup(float x, float y, float z, int32_t value, int32_t type) {
    startPopup(x, y, z, value, type, type == 5 ? 90 : 60);
}

void spawnNumberPopup(float x, float y, float z, int32_t value, int32_t type) {
    startPopup(x, y, z, value, type, type == 1 || type == 3 ? 90 : 60);
}

void resetPickups() {
    for (Pickup& p : gPickups) {
        p = Pickup{};
        p.kind = -1;
    }
}


// The pickups' flight arrives with the pickups.
void updatePickups() {}

