// dungeon/enemies.cpp: the enemy pool: taking and spawning records, the
// floor's reset, enemy levels, the motion channels of 3D-model enemies and
// the turn toward the character.
#include "dungeon/enemies.h"

#include <cmath>
#include <cstring>

#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"

Enemy gEnemies[ENEMY_POOL_SIZE];
EnemySpawnState gEnemySpawnState;

// Story flag 15: enemies have a tenth of their HP.
constexpr int32_t FLAG_WEAK_ENEMIES = 15;

bool isSkinnedKind(int32_t kind) {
    return kind >= 0 && kind < ENEMY_KIND_CAPACITY && gEnemyKinds[kind].modelKind == ENEMY_MODEL_SKINNED;
}

const EnemyKind& enemyKindOf(const Enemy& e) {
    static const EnemyKind NONE = {};
    return e.kind >= 0 && e.kind < ENEMY_KIND_CAPACITY ? gEnemyKinds[e.kind] : NONE;
}

bool isGolemArm(int32_t kind) {
    return kind == KIND_GOLEM_RIGHT || kind == KIND_GOLEM_LEFT || kind == KIND_GOLEM_DARK_RIGHT ||
           kind == KIND_GOLEM_DARK_LEFT;
}

// The level row of dungeon d at floor f.
static int32_t dungeonLevel(int32_t d, int32_t f) {
    switch (d) {
    case 0: return f;
    case 1: return f / 2 + 2;
    case 2: return f / 3 + 6;
    case 3: return f / 4 + 16;
    case 4: return f / 5 + 25;
    case 5: return static_cast<int32_t>(static_cast<float>(f >= 30 ? f - 30 : f) * 1.7f + 50.0f);
    default: return 0;
    }
}

int32_t getFloorEnemyLevel(int32_t kind) {
    int32_t level;
    int32_t course = gRun.bossRushCourse;
    if (course >= 0) level = course >= 1 && course <= 4 ? dungeonLevel(course, 5 * gFloorIndex - 145) : 0;
    else level = dungeonLevel(gRun.dungeonIndex, gFloorIndex);
    if (kind == KIND_WISP) {
        int32_t raised = level + gTimeOut.timeOutSpawns / 5;
        int32_t cap = 2 * level > level + 10 ? 2 * level : level + 10;
        level = raised < cap ? raised : cap;
    }
    return level;
}

float getEnemyLevelScale(int32_t kind) {
    int32_t level = getFloorEnemyLevel(kind);
    return 1.0f + static_cast<float>(level) * (level >= 50 ? 0.12f : 0.1f);
}

// Every field a spawn starts from; state, kind, position, home and the HP
// words stay as the record held them.
static void resetRecord(Enemy& e, int32_t index) {
    Enemy kept = e;
    memset(static_cast<void*>(&e), 0, sizeof e);
    e.state = kept.state;
    e.kind = kept.kind;
    e.position = kept.position;
    e.home = kept.home;
    e.hp = kept.hp;
    e.shownHp = kept.shownHp;
    e.maxHp = kept.maxHp;
    for (int32_t& serial : e.hitSerials) serial = -1;
    e.firstThink = 1;
    e.index = index;
    e.alpha = 255;
    e.groundHeight = -1000.0f;
    e.sizeFactor = e.hitSize = e.scaleX = e.scaleY = 1.0f;
    e.parent = -1;
    e.level = getFloorEnemyLevel(0);
    setMotion(e.motion, 0);
}

Enemy* allocEnemy() {
    for (int32_t i = 0; i < ENEMY_POOL_SIZE; i++) {
        Enemy& e = gEnemies[i];
        if (e.state != ENEMY_FREE || e.respawnTimer != 0) continue;
        if (e.reuseTimer > 0) e.reuseTimer--;
        if (e.reuseTimer > 0) continue;
        gEnemySpawnState.spawnCount++;
        resetRecord(e, i);
        return &e;
    }
    return nullptr;
}

Enemy* spawnEnemy(float x, float y, float z, int32_t kind) {
    Enemy* e = allocEnemy();
    if (!e) return nullptr;
    randomUnit();   // drawn and unused: the draws that follow keep their place
    e->state = ENEMY_ALIVE;
    e->freezeTimer = 0;
    e->phase = randomInt() & 63;
    e->position = e->home = Vector3{x, y, z};
    e->kind = kind;
    e->level = getFloorEnemyLevel(kind);
    float maxHp = static_cast<float>(enemyKindOf(*e).baseHp) * (1.0f + 0.2f * static_cast<float>(e->level));
    if (runningGameState().storyFlags[FLAG_WEAK_ENEMIES]) maxHp *= 0.1f;
    e->maxHp = e->hp = e->shownHp = maxHp;
    e->ai[0] = 0;
    e->yaw = PI;
    return e;
}

void resetEnemies() {
    for (Enemy& e : gEnemies) e.state = e.respawnTimer = e.reuseTimer = 0;
    EnemySpawnState& s = gEnemySpawnState;
    s.placedOnce = 0;
    s.spawnSerial = 0;
    for (int32_t i = 0; i < ENEMY_PLACEMENT_SLOTS; i++) s.placementOrder[i] = i;
    for (int32_t i = 0; i < ENEMY_PLACEMENT_SLOTS; i++) {
        int32_t j = randomInt() & 7;
        int32_t t = s.placementOrder[i];
        s.placementOrder[i] = s.placementOrder[j];
        s.placementOrder[j] = t;
    }
}

void resetEnemyPool() {
    memset(static_cast<void*>(gEnemies), 0, sizeof gEnemies);
    for (Enemy& e : gEnemies) e.parent = -1;
    gEnemySpawnState = EnemySpawnState{};
}

void setEnemyMotion(Enemy& e, int32_t motion) {
    if (e.motionIds[0][e.activeChannel] == motion) return;
    e.activeChannel ^= 1;
    // The picture starts at the old channel and fades over ten frames.
    e.blend = e.activeChannel == 0 ? 1.0f : 0.0f;
    e.motionIds[0][e.activeChannel] = motion;
    e.motionTimes[0][e.activeChannel] = 0.0f;
}

void setEnemyMotion4(Enemy& e, int32_t a, int32_t b, int32_t c, int32_t d) {
    const int32_t ids[ENEMY_MOTION_SLOTS] = {a, b, c, d};
    int32_t active = e.activeChannel, next = active ^ 1;
    bool same = true;
    for (int32_t s = 0; s < ENEMY_MOTION_SLOTS; s++) same = same && e.motionIds[s][active] == ids[s];
    if (same) return;
    for (int32_t s = 0; s < ENEMY_MOTION_SLOTS; s++) {
        // A part whose motion stays keeps playing seamlessly.
        e.motionTimes[s][next] = e.motionIds[s][active] == ids[s] ? e.motionTimes[s][active] : 0.0f;
        e.motionIds[s][next] = ids[s];
    }
    e.activeChannel = next;
    e.blend = next == 0 ? 1.0f : 0.0f;
}

// Into [-pi, pi] by whole turns.
static float wrapAngle(float a) {
    while (a > PI) a -= 2.0f * PI;
    while (a < -PI) a += 2.0f * PI;
    return a;
}

void turnEnemyTowardPlayer(Enemy& e, float step) {
    const Vector3& p = gParty.positions[0];
    float target = atan2f(p.x - e.position.x, p.z - e.position.z);
    e.yaw = wrapAngle(e.yaw);
    float d = e.yaw - target;
    if (fabsf(d) < step || fabsf(d) > 2.0f * PI - step) {
        e.yaw = target;
    } else {
        bool grow = target > e.yaw ? target - e.yaw < PI : d >= PI;
        e.yaw += grow ? step : -step;
    }
    e.yaw = wrapAngle(e.yaw);
}

Enemy* spawnGolemGroup(float x, float y, float z, int32_t golemKind) {
    constexpr int32_t WAITING = 8;
    Enemy* golem = spawnEnemy(x, y, z, golemKind);
    if (!golem) return nullptr;
    golem->ai[0] = WAITING;
    int32_t right = golemKind == KIND_GOLEM_DARK ? KIND_GOLEM_DARK_RIGHT : KIND_GOLEM_RIGHT;
    for (int32_t arm : {right, right + 1}) {
        Enemy* e = spawnEnemy(x, y, z, arm);
        if (!e) continue;
        e->ai[0] = WAITING;
        // The golem's own record, wherever the pool placed it, not record 0.
        e->parent = golem->index;
    }
    return golem;
}
