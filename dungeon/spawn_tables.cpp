#include "dungeon/spawn_tables.h"

#include <cmath>

#include "dungeon/field_frame.h"
#include "engine/math.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field.h"

bool isBossFloor() {
    if (gRun.dungeonIndex == 5) return gFloorIndex >= 29;
    return gFloorIndex % 5 == 4;
}

constexpr int32_t SPAWN_POOL_MAX = SPAWN_ENTRIES * SPAWN_COUNT_MAX;
constexpr int32_t ROOM_GROUP_PATTERN[5] = {2, 1, 1, 1, 3};
// The battles' floors of each Boss Rush course: the drop rows of its dungeon.
constexpr int32_t BOSS_RUSH_BATTLES = 13;
constexpr int32_t BOSS_RUSH_FLOORS[5][BOSS_RUSH_BATTLES + 1] = {
    {-1},
    {4, 9, 14, -1},
    {4, 9, 19, 24, 29, -1},
    {4, 9, 14, 19, 29, 39, 44, 49, -1},
    {4, 9, 14, 19, 24, 34, 39, 49, 54, 59, 69, 89, 99, -1},
};

constexpr int32_t KIND_EVENT_CREATURE = 29;
constexpr int32_t KIND_VISITOR = 30;
constexpr int32_t KIND_RETINUE = 31;
constexpr int32_t KIND_WISP_DROP = 34;
constexpr int32_t KIND_PILLAR_A = 35;
constexpr int32_t KIND_PILLAR_B = 36;
constexpr int32_t KIND_WALL_HUGGER = 16;
constexpr int32_t FLAG_BOSS_GROUP_DONE = 182;
constexpr int32_t FLAG_NO_ENEMIES = 216;

static int32_t clampCount(int32_t n) { return n < 0 ? 0 : n > SPAWN_COUNT_MAX ? SPAWN_COUNT_MAX : n; }

static const FloorSpawnRange* findRow(int32_t d, int32_t floor) {
    if (d < 0 || d >= SPAWN_DUNGEONS) return nullptr;
    for (const FloorSpawnRange& row : gFloorSpawnTable[d]) {
        if (row.floorFrom < 0) break;
        if (floor >= row.floorFrom && floor <= row.floorTo) return &row;
    }
    return nullptr;
}

// The row the floor's enemies come from (a Boss Rush plays dungeon 5's).
static const FloorSpawnRange* floorSpawnRow() { return findRow(gRun.dungeonIndex, gFloorIndex); }

bool hasBossOnFloor() {
    if (gRun.dungeonIndex == 0 && gFloorIndex == 4) return true;
    if (gRun.dungeonIndex == 4 && (gFloorIndex == 29 || gFloorIndex == 99)) return true;
    if (!isBossFloor()) return false;
    const FloorSpawnRange* row = floorSpawnRow();
    if (!row) return false;
    for (int32_t i = 0; i < SPAWN_ENTRIES && row->entries[i].kind != -1; i++)
        if (isBossKind(row->entries[i].kind)) return true;
    return false;
}

void markFloorEnemyKinds(int32_t flags[ENEMY_KIND_CAPACITY]) {
    const FloorSpawnRange* row = floorSpawnRow();
    if (!row) return;
    for (int32_t i = 0; i < SPAWN_ENTRIES && row->entries[i].kind != -1; i++) {
        int32_t k = row->entries[i].kind;
        if (k >= 0 && k < ENEMY_KIND_CAPACITY) flags[k] = 1;
    }
    // Kinds that behaviours, events and the floor timer may add.
    for (int32_t k : {2, 29, 30, 31, 32, 33, 34, 37}) flags[k] = 1;
}

// The floors whose fixed-floor scripts stage their own enemies.
static bool isStagedFloor(int32_t d, int32_t f) {
    switch (d) {
    case 0: return f == 4;
    case 1: return f == 14;
    case 2: return f == 29;
    case 3: return f == 19 || f == 29 || f == 49;
    case 4: return f == 29 || f == 49 || f == 69 || f == 79 || f == 99;
    case 5: return f == 37 || f == 41 || f == 56 || f == 58;
    default: return false;
    }
}

static void spawnBossGroup() {
    if (storyFlag(FLAG_BOSS_GROUP_DONE)) return;
    const FloorSpawnRange* row = floorSpawnRow();
    if (!row) return;
    int32_t k = row->entries[0].kind;
    int32_t n = clampCount(row->entries[0].count);
    if (k == -1 || n == 0) return;
    for (int32_t i = 0; i < n; i++) {
        float x = -40.0f, y = 0.0f, z = -34.0f;
        if (n == 2) x = 10.0f * static_cast<float>(i) - 45.0f;
        if (n == 3) {
            x = 10.0f * static_cast<float>(i) - 50.0f;
            if (i != 1) z = -38.0f;
        }
        if (k == 70 || k == 71) z = -40.0f;
        if (k == 23 || k == 54) y = 15.0f;
        Enemy* e = spawnEnemy(x, y, z, k);
        if (!e) return;
        e->state = ENEMY_ALIVE;
        e->ai[0] = 8;
    }
}

void spawnFloorEnemies() {
    if (isStagedFloor(gRun.dungeonIndex, gFloorIndex)) return;
    if (!hasBossOnFloor()) populateFloor();
    else spawnBossGroup();
}

static bool cellHoldsBlock(int32_t col, int32_t row) {
    if (col < 0 || row < 0 || col >= MAP_GRID_SIZE || row >= MAP_GRID_SIZE) return false;
    return gFloorGrid.mapGrid[row][col].blockId >= 0;
}

// Swaps each of the first n values with one drawn at random.
static void shuffle(int32_t* v, int32_t n) {
    for (int32_t i = 0; i < n; i++) {
        int32_t j = randomInt() % n;
        int32_t t = v[i];
        v[i] = v[j];
        v[j] = t;
    }
}

struct PoolUnit {
    int32_t kind;
    int32_t variant;
};

enum Visitor : int32_t { VISITOR_NONE, VISITOR_EVENT_CREATURE, VISITOR_PARTY };

// One unit of a group in the room at (col, row): up to 100 tries at a
// random point 5..19 from the centre with a clear line and ground under it.
static void placeUnit(int32_t col, int32_t row, int32_t kind, int32_t variant, int32_t visitorKind) {
    float cx = -40.0f * static_cast<float>(col), cz = -40.0f * static_cast<float>(row);
    for (int32_t attempt = 0; attempt < 100; attempt++) {
        float a = randomUnit() * 2.0f * PI;
        float d = randomUnit() * 14.0f + 5.0f;
        float ox = sinf(a) * d, oz = cosf(a) * d;
        float t = 0.0f;
        CollisionHit hit{};
        if (castMapSegment(cx, 0.5f, cz, ox, 0.0f, oz, &t, &hit)) continue;
        if (visitorKind >= 0) kind = visitorKind;
        bool pillar = kind == KIND_PILLAR_A || kind == KIND_PILLAR_B;
        bool hugger = kind == KIND_WALL_HUGGER && variant == 2;
        if (pillar) {
            ox *= 0.8f;
            oz *= 0.8f;
        }
        if (hugger) {
            if (cellHoldsBlock(col, row + 1)) ox = -3.0f, oz = -10.0f;
            else if (cellHoldsBlock(col, row - 1)) ox = -3.0f, oz = 10.0f;
            else if (cellHoldsBlock(col + 1, row) || cellHoldsBlock(col - 1, row)) ox = 10.0f, oz = -3.0f;
            else return;
        }
        CollisionHit ground{};
        if (!findGroundUnder(cx + ox, 0.5f, cz + oz, &ground) || ground.floorHeight < -1.0f) continue;
        if (storyFlag(FLAG_NO_ENEMIES)) return;
        Enemy* e = spawnEnemy(cx + ox, 0.5f, cz + oz, kind);
        if (!e) return;
        e->state = ENEMY_ALIVE;
        e->variant = variant;
        if (pillar) e->ai[3] = 1;
        if (hugger) e->ai[3] = cellHoldsBlock(col, row + 1) || cellHoldsBlock(col, row - 1) ? 2 : 1;
        return;
    }
}

void populateFloor() {
    static int32_t size[MAP_GRID_SIZE * MAP_GRID_SIZE];
    static PoolUnit pool[SPAWN_POOL_MAX];
    static int32_t order[SPAWN_POOL_MAX];
    int32_t rooms = gFloorPlan.roomCount;
    if (rooms > MAP_GRID_SIZE * MAP_GRID_SIZE) rooms = MAP_GRID_SIZE * MAP_GRID_SIZE;
    int32_t n = rooms - 2;
    if (n < 1) return;
    bool boss = isBossFloor();
    for (int32_t i = 0; i < n; i++) size[i] = ROOM_GROUP_PATTERN[i % 5];
    if (boss)
        for (int32_t i = 0; i < rooms; i++) size[i] = i % 3 + 4;
    shuffle(size, n);

    const FloorSpawnRange* row = floorSpawnRow();
    if (!row) return;
    int32_t poolSize = 0;
    for (int32_t i = 0; i < SPAWN_ENTRIES && row->entries[i].kind != -1; i++)
        for (int32_t c = clampCount(row->entries[i].count); c > 0; c--)
            pool[poolSize++] = PoolUnit{row->entries[i].kind, row->entries[i].variant};
    // A row whose counts are all 0 has nothing to place.
    if (poolSize == 0) return;
    for (int32_t i = 0; i < poolSize; i++) order[i] = i;
    shuffle(order, poolSize);

    const GameState& g = runningGameState();
    bool visitors = g.playMode != PLAY_MODE_SURVIVAL && !boss;
    bool pendingA = false, pendingB = false;
    if (visitors) {
        pendingA = randomInt() % 10 == 0 && storyFlag(57) && !storyFlag(123) && !storyFlag(191) && g.date > 7;
        pendingB = randomInt() % 10 == 0 && g.date > 9 && !storyFlag(171) && gRun.dungeonIndex >= 0 &&
                   gRun.dungeonIndex <= 2 && !storyFlag(244);
    }

    int32_t kept = boss ? 1 : 2;
    int32_t filled = 0, next = 0;
    for (int32_t z = 0; z < gFloorGrid.roomsY && z < MAP_GRID_SIZE; z++) {
        for (int32_t x = 0; x < gFloorGrid.roomsX && x < MAP_GRID_SIZE; x++) {
            if (!cellHoldsBlock(x, z)) continue;
            bool empty = false;
            for (int32_t c = 0; c < kept; c++)
                if (gLayoutCells.cells[c].col == x && gLayoutCells.cells[c].row == z) empty = true;
            if (empty) continue;
            // Only the rooms that were given a size take enemies.
            if (filled == (boss ? rooms : n)) return;
            filled++;
            int32_t s = size[filled - 1];
            int32_t groups = s < 2 ? 2 : 1;
            int32_t visitor = VISITOR_NONE;
            if (pendingA && filled == 3) visitor = VISITOR_EVENT_CREATURE, s = 1, groups = 1;
            if (pendingB && filled == 2) visitor = VISITOR_PARTY, s = 5, groups = 1;
            for (int32_t gi = 0; gi < groups; gi++) {
                PoolUnit u = pool[order[next]];
                next = (next + 1) % poolSize;
                int32_t units = s;
                if (((u.kind == KIND_PILLAR_A || u.kind == KIND_PILLAR_B) && u.variant == 1) ||
                    (u.kind == KIND_WALL_HUGGER && u.variant == 2))
                    units = 1;
                for (int32_t j = 0; j < units; j++) {
                    int32_t vk = -1;
                    if (visitor == VISITOR_EVENT_CREATURE) vk = KIND_EVENT_CREATURE;
                    if (visitor == VISITOR_PARTY) vk = j == 0 ? KIND_VISITOR : KIND_RETINUE;
                    placeUnit(x, z, u.kind, u.variant, vk);
                }
            }
        }
    }
}

bool isBossKind(int32_t kind) {
    switch (kind) {
    case 23: case 24: case 25: case 27: case 28: case 41: case 43: case 49: case 54: case 55: return true;
    default: return kind >= 59 && kind <= 73;
    }
}

// The row drops come from: the floor's, or in a Boss Rush battle the
// course's dungeon at the battle's listed floor.
static const FloorSpawnRange* dropRow() {
    int32_t course = gRun.bossRushCourse;
    if (course < 0) return floorSpawnRow();
    int32_t b = gRun.bossRushBattle;
    if (course > 4 || b < 0 || b >= BOSS_RUSH_BATTLES || BOSS_RUSH_FLOORS[course][0] < 0) return nullptr;
    for (int32_t i = 0; i <= b; i++)
        if (BOSS_RUSH_FLOORS[course][i] < 0) return nullptr;
    return findRow(course, BOSS_RUSH_FLOORS[course][b]);
}

int32_t getKindDropItem(int32_t kind, int32_t slot, int32_t variant) {
    if (slot < 0 || slot >= SPAWN_DROPS) return -1;
    if (kind == KIND_WISP_DROP) {
        int32_t d = gRun.dungeonIndex;
        return slot == 1 && d >= 0 && d < SPAWN_DUNGEONS ? gWispDrops[d] : -1;
    }
    const FloorSpawnRange* row = dropRow();
    if (!row) return -1;
    int32_t byKind = -1;
    for (int32_t i = 0; i < SPAWN_ENTRIES && row->entries[i].kind != -1; i++) {
        if (row->entries[i].kind != kind) continue;
        if (row->entries[i].variant == variant) return row->drops[i][slot];
        if (byKind < 0) byKind = i;
    }
    return byKind < 0 ? -1 : row->drops[byKind][slot];
}

// Every row of the shipped placement table is disabled or empty: only the
// guard counts the calls.
void spawnPlacedEnemies() { gEnemySpawnState.placedOnce++; }
