// dungeon/enemy_update.cpp: one frame of the enemy pool (respawns, sleep,
// animation, behaviour or dying, movement, the kill height), the golem
// arms' own branch, movement against the map, and the motion frames of the
// 3D-model enemies.
#include <cmath>

#include "dungeon/enemies.h"
#include "dungeon/spawn_tables.h"
#include "engine/device.h"
#include "engine/overlay_screen.h"
#include "engine/screen_mapping.h"
#include "engine/sound.h"
#include "engine/stage_index.h"

namespace {

constexpr float RESPAWN_DISTANCE = 40.0f;    // a held record counts down only farther than this
constexpr float WAKE_NEAR = 12.0f;           // dormancy 1 ends nearer than this
constexpr float SLEEP_FAR = 24.0f;           // dormancy 2 beyond this
constexpr float LEASH = 300.0f;
constexpr int32_t BLINK_COUNTER_END = 40;
constexpr int32_t HEAL_FLASH = 20;
constexpr int32_t SOUND_FELL = 319;
constexpr int32_t SOUND_ARM_LANDS = 328;
constexpr int32_t CONDITION_FAST_ENEMIES_A = 10;   // floor conditions that hasten enemies
constexpr int32_t CONDITION_FAST_ENEMIES_B = 12;

// Motion ranges of the 3D kinds, (start, end, hold) by motion id.
constexpr EnemyMotionRange GOLEM_MOTIONS[] = {
    {20, 139, 0}, {200, 336, 1}, {500, 636, 1}, {360, 479, 0}, {700, 820, 1}, {840, 960, 1},
    {1140, 1260, 1}, {980, 1100, 1}, {1280, 1340, 1}, {1360, 1420, 1}, {1500, 2100, 1}};
constexpr EnemyMotionRange CRAB_MOTIONS[] = {
    {400, 519, 0}, {140, 260, 0}, {540, 660, 0}, {700, 820, 0}, {860, 960, 1}, {980, 1080, 1},
    {1100, 1200, 1}, {1220, 1280, 1}, {2332, 2440, 1}, {1480, 1600, 0}, {1660, 1720, 1}, {1740, 1860, 1},
    {1280, 1440, 1}, {1340, 1400, 1}, {1900, 2260, 1}};
constexpr EnemyMotionRange JELLYFISH_MOTIONS[] = {
    {140, 260, 0}, {1050, 1170, 1}, {400, 520, 1}, {540, 660, 1}, {760, 820, 1}, {830, 890, 1},
    {2400, 2520, 1}, {1050, 1170, 1}, {1320, 1440, 0}, {1660, 1840, 1}, {1860, 1960, 1}, {680, 740, 1},
    {1580, 1640, 1}, {2000, 2360, 1}};
constexpr EnemyMotionRange MOUSE_MOTIONS[] = {
    {140, 259, 0}, {400, 439, 0}, {500, 559, 1}, {600, 699, 1}, {800, 839, 1}, {880, 919, 1},
    {960, 999, 1}, {1040, 1079, 1}, {1100, 1129, 1}, {1140, 1159, 0}, {1200, 1229, 1}, {1230, 1259, 1},
    {1280, 1459, 1}, {1480, 1689, 1}, {1700, 1819, 1}, {1840, 1879, 1}, {1900, 2019, 1}, {2040, 2189, 1},
    {2220, 2539, 1}};
constexpr EnemyMotionRange ARMGOLEM_MOTIONS[] = {
    {20, 200, 0}, {220, 400, 1}, {420, 600, 0}, {620, 860, 1}, {880, 960, 1}, {980, 1160, 1},
    {1180, 1240, 1}, {1260, 1350, 1}, {1380, 1560, 1}, {1560, 1620, 0}, {1620, 1800, 1}, {1620, 1800, 1},
    {1820, 2120, 1}, {2140, 2440, 0}};
constexpr EnemyMotionRange HAND_MOTIONS[] = {{20, 200, 0}, {220, 280, 1}, {300, 400, 1}, {420, 520, 1}};
constexpr EnemyMotionRange OTHER_MOTIONS[] = {{10, 130, 0}, {240, 300, 0}, {420, 480, 1}, {490, 520, 0}, {530, 620, 1}};

struct MotionTable {
    const EnemyMotionRange* rows;
    int32_t count;
};
template <size_t N>
constexpr MotionTable table(const EnemyMotionRange (&rows)[N]) {
    return {rows, static_cast<int32_t>(N)};
}

MotionTable motionTableOf(int32_t kind) {
    switch (kind) {
    case KIND_GOLEM: case KIND_GOLEM_DARK: return table(GOLEM_MOTIONS);
    case KIND_CRAB: case KIND_CRAB_BLACK: return table(CRAB_MOTIONS);
    case KIND_JELLYFISH: case KIND_JELLYFISH_RED: return table(JELLYFISH_MOTIONS);
    case KIND_MOUSE_PANEL: case KIND_MOUSE_BRAVE: case KIND_MOUSE_TUNNY: return table(MOUSE_MOTIONS);
    case KIND_ARMGOLEM: return table(ARMGOLEM_MOTIONS);
    case KIND_ARMGOLEM_RIGHT_HAND: case KIND_ARMGOLEM_LEFT_HAND: case KIND_DEVIL_HAND: return table(HAND_MOTIONS);
    default: return table(OTHER_MOTIONS);
    }
}

float horizontalDistance(float ax, float az, float bx, float bz) {
    float dx = ax - bx, dz = az - bz;
    return sqrtf(dx * dx + dz * dz);
}

const EnemyKind& kindRow(const Enemy& e) { return enemyKindOf(e); }

void countDown(int32_t& timer) {
    if (timer > 0) timer--;
}

void respawnPass() {
    const Vector3& p = gParty.positions[0];
    for (Enemy& e : gEnemies) {
        if (e.respawnTimer <= 0) continue;
        float dx = e.position.x - p.x, dy = e.position.y - p.y, dz = e.position.z - p.z;
        if (sqrtf(dx * dx + dy * dy + dz * dz) > RESPAWN_DISTANCE) e.respawnTimer--;
        if (e.respawnTimer != 0) continue;
        // Back where it died.
        e.hp = e.shownHp = e.maxHp;
        e.dormancy = ENEMY_AWAKE;
        e.state = ENEMY_ALIVE;
        e.firstThink = 1;
        for (int32_t i = 0; i < 6; i++) e.ai[i] = 0;
        e.dyingFrames = e.flinchTimer = e.healTimer = e.hitFlash = e.hitStun = e.paralysis = 0;
        e.motion.whiteFlash = 0;
    }
}

void easeHpBar(Enemy& e) {
    float step = 0.02f * e.maxHp;
    if (e.shownHp > e.hp) {
        e.shownHp -= step;
        if (e.shownHp < e.hp) e.shownHp = e.hp;
    } else if (e.shownHp < e.hp) {
        e.shownHp += step;
        if (e.shownHp > e.hp) e.shownHp = e.hp;
    }
}

void updateDormancy(Enemy& e, float flat) {
    if (gFloorGrid.singleBlockFloor || isBossFloor() || isSkinnedKind(e.kind) || e.neverDormant ||
        e.kind == KIND_WISP || e.state == ENEMY_DYING) {
        e.dormancy = ENEMY_AWAKE;
        return;
    }
    if (e.dormancy == ENEMY_ASLEEP_UNTIL_NEAR) {
        if (flat < WAKE_NEAR) e.dormancy = ENEMY_AWAKE;
    } else if (e.dormancy == ENEMY_ASLEEP_WHILE_FAR) {
        if (flat <= SLEEP_FAR) e.dormancy = ENEMY_AWAKE;
    } else if (flat > SLEEP_FAR) {
        e.dormancy = ENEMY_ASLEEP_WHILE_FAR;
    }
}

bool isLeftArm(int32_t kind) { return kind == KIND_GOLEM_LEFT || kind == KIND_GOLEM_DARK_LEFT; }

const Enemy* parentOf(const Enemy& e) {
    return e.parent >= 0 && e.parent < ENEMY_POOL_SIZE ? &gEnemies[e.parent] : nullptr;
}

void updateGolemArm(Enemy& e) {
    e.noLeash = 1;
    const Enemy* parent = parentOf(e);
    if (!parent) {
        e.parent = -1;
        e.noPlayerBlock = 1;
        e.position.x += e.velocity.x;
        e.position.y += e.velocity.y;
        e.position.z += e.velocity.z;
        e.velocity.x *= 0.98f;
        e.velocity.y *= 0.98f;
        e.velocity.z *= 0.98f;
        e.velocity.y -= 0.03f;
        CollisionHit ground = {};
        if (findGroundUnder(e.position.x, e.position.y, e.position.z, &ground) && e.position.y <= ground.floorHeight) {
            e.position.y = ground.floorHeight;
            e.velocity = Vector3{0.0f, 0.0f, 0.0f};
        }
        if (e.ai[2] < 20) {
            e.ai[2]++;
            if (e.ai[2] == 18) {
                startCameraShake(16, 4, 4, 1.0f);
                playSoundEffect(SOUND_ARM_LANDS);
                startAfterimage(32);
            }
        }
        e.ai[1]++;
        // It sinks into the floor.
        if (e.ai[1] >= 100) {
            float y = static_cast<float>(100 - e.ai[1]) * 0.2f;
            e.position.y = y < -10.0f ? -10.0f : y;
        }
    } else {
        e.position = parent->position;
        e.yaw = parent->yaw;
        if (e.ai[1] != 0 && ++e.ai[1] >= 30) {
            // Let go: it flies off to its side.
            e.ai[1] = 0;
            e.parent = -1;
            e.velocity.y = 0.2f;
            float a = isLeftArm(e.kind) ? e.yaw + PI / 2.0f : e.yaw - PI / 2.0f;
            e.velocity.x = 0.4f * sinf(a);
            e.velocity.z = 0.4f * cosf(a);
            const Vector3& at = e.attachPos[isLeftArm(e.kind) ? 6 : 5];
            spawnEffectObject(&e, at.x, at.y, at.z, 15, 0.8f, 1);
            spawnEffectObject(&e, at.x, at.y, at.z, 2, 0.4f, 1);
        }
    }
    countDown(e.motion.whiteFlash);
    countDown(e.hitFlash);
    parent = parentOf(e);
    if (parent && parent->state != ENEMY_DYING) e.age++;
}

void animate(Enemy& e, const EnemyKind& kind) {
    if (kind.modelKind == ENEMY_MODEL_SPRITE) {
        advanceMotion(e.motion, kind.modelNumber, kind.animSpeed);
    } else {
        if (e.activeChannel == 0) e.blend = e.blend - 0.1f < 0.0f ? 0.0f : e.blend - 0.1f;
        else e.blend = e.blend + 0.1f > 1.0f ? 1.0f : e.blend + 0.1f;
        for (auto& slot : e.motionTimes)
            for (float& t : slot) t += 1.0f;
    }
    // The blink counter: once started it runs to 40 and stops.
    if (e.motion.tint > 0 && ++e.motion.tint > BLINK_COUNTER_END) e.motion.tint = 0;
}

void updateOne(Enemy& e) {
    easeHpBar(e);
    if (e.state == ENEMY_FREE) return;
    const Vector3& p = gParty.positions[0];
    float flat = horizontalDistance(e.position.x, e.position.z, p.x, p.z);
    countDown(e.hitStun);
    if (e.freezeTimer > 0) {
        e.freezeTimer--;
        return;
    }
    updateDormancy(e, flat);
    if (e.trapSpawned == 0 && e.dormancy > 0) return;
    e.fadeIn = e.fadeIn + 0.05f > 1.0f ? 1.0f : e.fadeIn + 0.05f;
    countDown(e.paralysis);
    if (isGolemArm(e.kind)) {
        updateGolemArm(e);
        return;
    }
    animate(e, kindRow(e));
    countDown(e.killDelay);
    countDown(e.motion.whiteFlash);
    countDown(e.hitFlash);
    countDown(e.flinchTimer);
    if (e.healTimer > 0 && --e.healTimer == 0) {
        e.motion.whiteFlash = HEAL_FLASH;
        if (e.healAmount >= 0) {
            e.hp += static_cast<float>(e.healAmount);
            if (e.hp > e.maxHp) e.hp = e.maxHp;
            spawnNumberPopup(e.position.x, e.position.y + 0.5f, e.position.z, e.healAmount, 1);
        }
    }
    if (e.killDelay == 0 && e.state == ENEMY_ALIVE && e.hp == 0.0f) killEnemy(e);
    if (e.state == ENEMY_DYING) updateDyingEnemy(e);
    else if (e.state == ENEMY_ALIVE) thinkEnemy(e);
    moveEnemy(e);
}

void centrePass() {
    for (Enemy& e : gEnemies) {
        e.viewDepth = 0.0f;
        if (e.state == ENEMY_FREE || e.kind < 0) continue;
        const EnemyKind& kind = kindRow(e);
        e.centre = Vector3{e.position.x, e.position.y + kind.centreHeight * kind.scale, e.position.z};
        e.viewDepth = getViewDepth(e.position.x, e.position.y, e.position.z);
    }
}

// Fallen below the stage's kill height, or into water on a stage without
// one: dying without rewards.
void killHeightPass() {
    constexpr int32_t NO_KILL_HEIGHT = -1000;
    int32_t killHeight = gCurrentStage ? gCurrentStage->deathheight : NO_KILL_HEIGHT;
    for (Enemy& e : gEnemies) {
        if (e.state != ENEMY_ALIVE || e.noGround || kindRow(e).modelKind != ENEMY_MODEL_SPRITE) continue;
        bool below = e.position.y < static_cast<float>(killHeight);
        bool drowned = killHeight == NO_KILL_HEIGHT && e.groundHit.floorFlag == 1;
        if (!below && !drowned) continue;
        playSoundEffect(SOUND_FELL);
        e.hp = 0.0f;
        e.revives = 0;
        e.dyingFrames = 0;
        e.state = ENEMY_DYING;
    }
}

// Wall probes at one height: four horizontal segments push the enemy back
// out of what they hit.
void probeWalls(Enemy& e, float height, float reach) {
    constexpr float ANGLES[4] = {0.0f, PI / 2.0f, PI, 3.0f * PI / 2.0f};
    for (float a : ANGLES) {
        float dx = sinf(a) * reach, dz = cosf(a) * reach;
        float t = 0.0f;
        CollisionHit hit = {};
        if (!castMapSegment(e.position.x, height, e.position.z, dx, 0.0f, dz, &t, &hit)) continue;
        int32_t surface = hitSurface(hit);
        if (surface != SURFACE_SOLID && surface != SURFACE_CLIFF && surface != SURFACE_DAMAGE &&
            surface != SURFACE_INVISIBLE_WALL)
            continue;
        e.position.x -= (1.0f - t) * dx;
        e.position.z -= (1.0f - t) * dz;
    }
}

void followGround(Enemy& e, const EnemyKind& kind) {
    Vector3& v = e.velocity;
    if (findGroundUnder(e.position.x + v.x, e.position.y, e.position.z + v.z, &e.groundHit)) {
        e.groundHeight = e.groundHit.floorHeight;
        int32_t surface = hitSurface(e.groundHit);
        if (surface == SURFACE_CLIFF || (surface == SURFACE_SOLID && fabsf(e.groundHit.normalY) <= 0.05f))
            v.x = v.z = 0.0f;
    }
    if (!e.noPlayerBlock) {
        // The character's body slows it, less the farther apart in height.
        const Vector3& p = gParty.positions[0];
        float h = 2.0f * kind.centreHeight * kind.scale;
        float g = fabsf(p.y - e.position.y);
        if (g < h) {
            float r = cosf(g * (PI / 2.0f) / h) * kind.pushRadius * kind.scale;
            if (r < 0.0f) r = 0.0f;
            if (horizontalDistance(e.position.x + v.x, e.position.z + v.z, p.x, p.z) < r) {
                v.x *= 0.3f;
                v.z *= 0.3f;
            }
        }
    }
    float sx = 0.0f, sz = 0.0f;
    if (e.paralysis < 1) {
        float haste = isFloorConditionActive(CONDITION_FAST_ENEMIES_A) || isFloorConditionActive(CONDITION_FAST_ENEMIES_B)
                          ? 1.3f
                          : 1.0f;
        sx = v.x * haste;
        sz = v.z * haste;
        e.position.y += v.y;
    }
    e.position.x += sx + e.push.x;
    e.position.z += sz + e.push.z;
    e.push.x *= 0.95f;
    e.push.z *= 0.95f;
    if (e.position.y < e.groundHeight) {
        e.position.y = e.groundHeight;
        v.y = 0.0f;
    }
}

void applyFriction(Enemy& e) {
    Vector3& v = e.velocity;
    if (e.kicked && e.hp <= 0.0f) {
        // A kicked bomb slides to a stop.
        float speed = sqrtf(v.x * v.x + v.z * v.z);
        if (speed * 0.08f > 0.03f) {
            v.x -= 0.03f * v.x / speed;
            v.z -= 0.03f * v.z / speed;
        } else {
            v.x *= 0.92f;
            v.z *= 0.92f;
        }
        v.y -= 0.03f;
    } else if (!(e.glides && e.flinchTimer < 1)) {
        v.x *= 0.82f;
        v.z *= 0.82f;
    }
    v.y *= 0.98f;
}

void faceCamera(Enemy& e) {
    float a = gCamera.yaw + e.yaw;
    bool eightWay = e.kind == KIND_GOLD_GOLEM || e.kind == KIND_SILVER_GOLEM || (e.kind == KIND_PUMPKIN && e.variant == 1);
    if (eightWay) e.motion.direction = static_cast<int32_t>((a + PI / 8.0f) / (2.0f * PI) * 8.0f + 8.0f) & 7;
    else e.motion.direction = 2 * (static_cast<int32_t>((a + PI / 4.0f) / (2.0f * PI) * 4.0f + 4.0f) & 3);
}

}  // namespace

EnemyMotionRange enemyMotionRange(int32_t kind, int32_t motion) {
    MotionTable t = motionTableOf(kind);
    // An id past the table (the caterpillar's death motion 5) holds the last row.
    if (motion < 0) motion = 0;
    if (motion >= t.count) motion = t.count - 1;
    return t.rows[motion];
}

void moveEnemy(Enemy& e) {
    const EnemyKind& kind = kindRow(e);
    if (!e.noGround) followGround(e, kind);
    applyFriction(e);
    faceCamera(e);
    if (!e.noWallCheck) {
        float reach = 2.0f * kind.wallRadius * kind.scale;
        probeWalls(e, e.position.y + 0.6f, reach);
        if (e.flying) {
            float low = e.groundHeight + 0.8f > e.position.y - 5.0f ? e.groundHeight + 0.8f : e.position.y - 5.0f;
            probeWalls(e, low, reach);
        }
    }
    if (!e.noLeash) {
        float dx = e.position.x - e.home.x, dz = e.position.z - e.home.z;
        float d = sqrtf(dx * dx + dz * dz);
        if (d > LEASH) {
            e.position.x = e.home.x + dx * LEASH / d;
            e.position.z = e.home.z + dz * LEASH / d;
        }
    }
    e.age++;
}

void updateEnemies() {
    spawnPlacedEnemies();
    cacheViewProjection();
    respawnPass();
    for (Enemy& e : gEnemies) updateOne(e);
    centrePass();
    killHeightPass();
}

namespace {

int32_t toModelTime(float frames) { return static_cast<int32_t>(frames * 1000.0f / 60.0f); }

// The frame of a motion at time t: wrapped for a looping motion (by
// repeated subtraction when wrapAll), held at its end otherwise.
float motionFrame(const EnemyMotionRange& r, float t, bool wrapAll) {
    float length = static_cast<float>(r.end - r.start);
    if (length > 0.0f && t >= length) {
        if (r.hold) t = length;
        else if (wrapAll) while (t >= length) t -= length;
        else t -= length;
    }
    return static_cast<float>(r.start) + t;
}

void fillParts(Enemy& e, int32_t slot, int32_t first, int32_t last, bool wrapAll) {
    for (int32_t c = 0; c < ENEMY_MOTION_CHANNELS; c++) {
        EnemyMotionRange r = enemyMotionRange(e.kind, e.motionIds[slot][c]);
        int32_t frame = toModelTime(motionFrame(r, e.motionTimes[slot][c], wrapAll));
        for (int32_t part = first; part <= last; part++) e.partFrames[c][part] = frame;
    }
}

void copyAnimation(Enemy& to, const Enemy& from, bool channel) {
    for (int32_t c = 0; c < ENEMY_MOTION_CHANNELS; c++)
        for (int32_t part = 0; part < ENEMY_MODEL_PARTS; part++) to.partFrames[c][part] = from.partFrames[c][part];
    to.blend = from.blend;
    if (channel) to.activeChannel = from.activeChannel;
}

}  // namespace

void updateEnemyMotionFrames() {
    for (Enemy& e : gEnemies) {
        if (e.state == ENEMY_FREE || e.freezeTimer >= 1 || e.dormancy >= 1 || !isSkinnedKind(e.kind)) continue;
        bool jellyfish = e.kind == KIND_JELLYFISH || e.kind == KIND_JELLYFISH_RED;
        fillParts(e, 0, 0, ENEMY_MODEL_PARTS - 1, jellyfish);
        if (e.kind == KIND_GOLEM || e.kind == KIND_GOLEM_DARK) {
            // A slow sway of the head.
            int32_t sway = toModelTime(sinf(static_cast<float>(e.age) * 0.1f) * 2.5f + 667.5f);
            e.partFrames[0][25] = e.partFrames[1][25] = sway;
        } else if (jellyfish) {
            fillParts(e, 1, 18, 39, true);
            fillParts(e, 2, 48, 53, true);
            fillParts(e, 3, 40, 47, true);
        } else if (e.kind == KIND_ARMGOLEM_CORE) {
            const Enemy* body = &gEnemies[0];
            for (const Enemy& o : gEnemies)
                if (o.state == ENEMY_ALIVE && o.kind == KIND_ARMGOLEM) {
                    body = &o;
                    break;
                }
            copyAnimation(e, *body, true);
        } else if (isGolemArm(e.kind)) {
            const Enemy* parent = parentOf(e);
            if (parent) copyAnimation(e, *parent, false);
        }
    }
}

void tickEnemyAnimations() {
    for (Enemy& e : gEnemies) {
        if (e.state == ENEMY_FREE) continue;
        const EnemyKind& kind = kindRow(e);
        if (kind.modelKind == ENEMY_MODEL_SPRITE) {
            if (e.hitStun == 0) advanceMotion(e.motion, kind.modelNumber, 1.0f);
        } else {
            e.motionTimes[0][0] += 1.0f;
            e.motionTimes[0][1] += 1.0f;
        }
    }
    updateEnemyMotionFrames();
}
