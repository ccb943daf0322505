#include "adventurers/motion.h"
#include "engine/math.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "adventurers/shop_floor.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/motion_files.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "shop/shop.h"
#include "shop/shop_state.h"

FollowerState gFollower;

void resetMotionState() { gFollower = FollowerState{}; }

void resetFairyWander() { gFollower.fairyWander = FairyWander{}; }

namespace {

constexpr float TWO_PI = 6.28318530717959f;
constexpr int32_t FOLLOWER = 1;
constexpr int32_t FAIRY = 2;
constexpr float FALL_FLOOR = -30.0f;        // nobody sinks below it
constexpr float GROUND_UNPROBED = -10.0f;
constexpr float PROBE_NO_GROUND = -100.0f;
constexpr int32_t SOUND_KNOCKED_LANDING = 360;
constexpr int32_t ACTION_STUNNED = 1;
constexpr int32_t ACTION_FACING_FAIRY = 14;
constexpr int32_t ACTION_HELD_POSE = 15;
constexpr int32_t CONDITION_DRIFT = 18;
constexpr int32_t CONDITION_HAZE = 9;
constexpr int32_t SPARKLE_EFFECT = 31;

const StageRecord* currentStageRecord() {
    if (gStageIndex < 0 || gStageIndex >= gStageCount || gStageIndex >= STAGE_CODE_COUNT) return nullptr;
    return &gStages[gStageIndex];
}

bool onShopStage() {
    return isShopStage(currentStageRecord());
}


bool cliffOrDamage(int32_t surface) { return surface == SURFACE_CLIFF || surface == SURFACE_DAMAGE; }
bool wallLike(int32_t surface) { return cliffOrDamage(surface) || surface == SURFACE_INVISIBLE_WALL; }

// A slid step stands on a walkable floor or on a surface that does not block.
bool walkable(int32_t surface, const CollisionHit& hit) {
    if (surface == SURFACE_SOLID) return fabsf(hit.normalY) >= 0.05f;
    return surface != SURFACE_CLIFF && surface != SURFACE_DAMAGE;
}

float wrapAngle(float a) {
    if (!std::isfinite(a)) return a;
    if (fabsf(a) > 1000.0f) a = fmodf(a, TWO_PI);
    while (a > PI) a -= TWO_PI;
    while (a < -PI) a += TWO_PI;
    return a;
}

float cameraYaw() { return gCamera.yaw; }

// The eight-way sprite direction of a heading as seen by the camera.
int32_t spriteDirectionOf(float heading) {
    int32_t d = static_cast<int32_t>((heading + cameraYaw() + PI / 8.0f) / TWO_PI * 8.0f + 8.0f);
    return ((d % 8) + 8) % 8;
}

// The screen's right in world x and z.
void screenRight(float* x, float* z) {
    *x = -cosf(cameraYaw());
    *z = -sinf(cameraYaw());
}

// Moves p a fraction of the way toward aim, at most maxStep; the step's length.
float stepToward(Vector3& p, float aimX, float aimZ, float fraction, float maxStep, float* stepX, float* stepZ) {
    float mx = (aimX - p.x) * fraction;
    float mz = (aimZ - p.z) * fraction;
    float length = sqrtf(mx * mx + mz * mz);
    if (length > maxStep) {
        mx *= maxStep / length;
        mz *= maxStep / length;
        length = maxStep;
    }
    p.x += mx;
    p.z += mz;
    *stepX = mx;
    *stepZ = mz;
    return length;
}

// The point at aimDistance from goal on the line toward p; p itself while
// it is within reach (the result is then true).
bool aimAt(const Vector3& p, float goalX, float goalZ, float reach, float aimDistance, float* aimX, float* aimZ) {
    float dx = p.x - goalX;
    float dz = p.z - goalZ;
    float distance = sqrtf(dx * dx + dz * dz);
    *aimX = p.x;
    *aimZ = p.z;
    if (!(distance > reach)) return true;
    *aimX = goalX + dx / distance * aimDistance;
    *aimZ = goalZ + dz / distance * aimDistance;
    return false;
}

float hoverHeight() { return 3.0f + 0.2f * sinf(0.04f * static_cast<float>(gParty.tick)); }

void spawnSparkle() {
    const Vector3& f = gParty.positions[FAIRY];
    float heading = static_cast<float>(gParty.motions[FAIRY].direction) * (PI / 4.0f) - cameraYaw();
    spawnEffectObject(nullptr, f.x - 0.6f * sinf(heading), f.y + 1.1f, f.z - 0.6f * cosf(heading), SPARKLE_EFFECT,
                      0.1f, 1);
}

bool fairyShown() { return gParty.memberScales[2] > 0.0f && gParty.memberScales[5] > 0.0f; }

void moveFollower(bool runEnd) {
    PartyState& party = gParty;
    Vector3& f = party.positions[FOLLOWER];
    const Vector3& lead = party.positions[0];
    float goalX = lead.x, goalZ = lead.z, reach = runEnd ? 1.0f : 3.0f, aimDistance = reach;
    if (gFollower.autoWalk) {
        goalX = gFollower.autoWalkTarget.x;
        goalZ = gFollower.autoWalkTarget.z;
        reach = 1.0f;
        aimDistance = 0.5f;
    }
    float aimX, aimZ;
    bool arrived = aimAt(f, goalX, goalZ, reach, aimDistance, &aimX, &aimZ);
    float base = truncf(lead.y - f.y > 1.0f ? lead.y : f.y);
    CollisionHit hit = {};
    if (findGroundUnder(f.x, base + 1.0f, f.z, &hit)) f.y += (hit.floorHeight - f.y) * 0.85f;
    float stepX, stepZ;
    float moved = stepToward(f, aimX, aimZ, 0.15f, 0.35f, &stepX, &stepZ);
    MotionState& motion = party.motions[FOLLOWER];
    if (moved > 0.01f) {
        setMotion(motion, 1);
        motion.direction = spriteDirectionOf(atan2f(stepX, stepZ));
    } else if (gFollower.autoWalk && arrived) {
        setMotion(motion, 0);
        motion.direction = spriteDirectionOf(atan2f(lead.x - f.x, lead.z - f.z));
    } else {
        setMotion(motion, 0);
    }
}

void hoverFairy(int32_t anchor) {
    PartyState& party = gParty;
    Vector3& f = party.positions[FAIRY];
    const Vector3& a = party.positions[anchor];
    float rx, rz;
    screenRight(&rx, &rz);
    bool right = (f.x - a.x) * rx + (f.z - a.z) * rz >= 0.0f;
    float side = right ? 1.3f : -1.3f;
    float targetX = a.x + rx * side, targetZ = a.z + rz * side;
    float dx = targetX - f.x, dz = targetZ - f.z;
    float distance = sqrtf(dx * dx + dz * dz);
    f.x += dx * 0.1f;
    f.z += dz * 0.1f;
    f.y += (hoverHeight() - f.y) * 0.1f;
    MotionState& motion = party.motions[FAIRY];
    if (distance >= 2.0f) {
        setMotion(motion, 1);
        motion.direction = spriteDirectionOf(atan2f(dx, dz));
    } else {
        setMotion(motion, 4);
        motion.direction = right ? 2 : 6;
    }
}

void wanderFairy() {
    PartyState& party = gParty;
    Vector3& f = party.positions[FAIRY];
    MotionState& motion = party.motions[FAIRY];
    FairyWander& w = gFollower.fairyWander;
    if (w.phase == 0) {
        setMotion(motion, 0);
        if (++w.ticks >= 90) {
            w.phase = 1;
            w.ticks = 0;
            w.targetX = static_cast<float>(2 * (randomInt() % 7) - 9);
            w.targetZ = static_cast<float>(2 * (randomInt() % 6)) - 6.5f;
        }
    } else if (w.phase == 1) {
        float dx = w.targetX - f.x, dz = w.targetZ - f.z;
        float sx = fminf(fmaxf(dx, -0.05f), 0.05f), sz = fminf(fmaxf(dz, -0.05f), 0.05f);
        f.x += sx;
        f.z += sz;
        setMotion(motion, 1);
        if (fabsf(dx) >= fabsf(dz)) {
            motion.direction = sx > 0.0f ? 2 : 6;
        } else {
            motion.direction = sz > 0.0f ? 0 : 4;
        }
        if (f.x == w.targetX && f.z == w.targetZ) {
            w.phase = 2 + randomInt() % 2;
            w.ticks = 0;
        }
    } else {
        setMotion(motion, w.phase);
        if (++w.ticks >= 90) {
            w.phase = 0;
            w.ticks = 0;
        }
    }
    f.y += (hoverHeight() - f.y) * 0.1f;
}

}  // namespace

void setMotion(MotionState& state, int32_t id) {
    if (id == state.requestedMotion) return;
    state.keyIndex = 0;
    state.ticks = 0;
    state.requestedMotion = id;
    state.motion = id;
    state.keyTime = 0.0f;
}

// The index never leaves the block: a hold row at key 0 holds frame 0, and
// a block that runs to its end without a hold or loop row keeps its last row.
void advanceMotion(MotionState& state, int32_t model, float speed) {
    if (model < 0 || model >= MOTION_FILE_COUNT || state.motion < 0 || state.motion >= MOTION_BLOCK_COUNT) return;
    const int32_t* block = gMotions[model].frames[state.motion];
    int32_t index = state.keyIndex;
    if (index < 0) index = 0;
    if (index >= MOTION_BLOCK_ROWS) index = MOTION_BLOCK_ROWS - 1;
    const int32_t* row = block + index * MOTION_ROW_VALUES;
    if (row[0] != MOTION_HOLD && state.keyTime >= static_cast<float>(row[MOTION_ROW_VALUES - 1])) {
        state.keyTime = 0.0f;
        if (index + 1 < MOTION_BLOCK_ROWS) {
            index++;
            int32_t first = block[index * MOTION_ROW_VALUES];
            if (first == MOTION_HOLD) {
                index--;
            } else if (first == MOTION_LOOP) {
                index = 0;
                state.ticks = 0;
            }
        }
    }
    state.keyIndex = index;
    state.keyTime += speed;
    state.ticks += 1;
}

float turnToward(float angle, float target, float maxStep) {
    angle = wrapAngle(angle);
    target = wrapAngle(target);
    float diff = angle - target;
    float result = target;
    if (fabsf(diff) >= maxStep && fabsf(diff) <= TWO_PI - maxStep) {
        if (angle >= target) {
            result = diff >= PI ? angle + maxStep : angle - maxStep;
        } else {
            result = target - angle >= PI ? angle - maxStep : angle + maxStep;
        }
    }
    return wrapAngle(result);
}

// Pad bits 1 right, 2 left, 4 up, 8 down; 0 marks no heading.
static float padHeading(int32_t bits, bool* found) {
    *found = true;
    switch (bits & 0x0F) {
        case BUTTON_UP: return 0.0f;
        case BUTTON_UP | BUTTON_LEFT: return PI / 4.0f;
        case BUTTON_UP | BUTTON_RIGHT: return 7.0f * PI / 4.0f;
        case BUTTON_DOWN: return PI;
        case BUTTON_DOWN | BUTTON_LEFT: return 3.0f * PI / 4.0f;
        case BUTTON_DOWN | BUTTON_RIGHT: return 5.0f * PI / 4.0f;
        case BUTTON_LEFT: return PI / 2.0f;
        case BUTTON_RIGHT: return 3.0f * PI / 2.0f;
        default: *found = false; return 0.0f;
    }
}

void getPadDirection(PartyState& party) {
    int32_t bits = 0;
    if (!party.dashing || (party.abilityFlags & 0x01)) {
        if (!party.input) return;
        bits = party.input->raw;
    } else {
        bits = party.dashDirection;
    }
    bool found;
    float heading = padHeading(bits, &found);
    if (found) party.facing = heading - cameraYaw();
}

int32_t pushOutOfObject(const Vector3& o, float r, float h) {
    // An obstacle without height or radius has no body (and would divide by zero).
    if (!(h > 0.0f) || !(r > 0.0f)) return 0;
    PartyState& party = gParty;
    const Vector3& p = party.positions[0];
    Vector3& v = party.velocity;
    float dy = fabsf(p.y - o.y);
    if (dy > h) return 0;
    float a = r * cosf(dy * PI / (2.0f * h));
    if (a < 0.0f) a = 0.0f;
    float ex = p.x - o.x, ez = p.z - o.z;
    float e = sqrtf(ex * ex + ez * ez);
    float nx = p.x + v.x - o.x, nz = p.z + v.z - o.z;
    float n = sqrtf(nx * nx + nz * nz);
    if (n == 0.0f) n = 0.01f;
    if (e < n) return 0;
    if (e >= a) {
        if (n >= a) return 0;
        if (party.actionState == 2 || party.actionState == 3 || party.actionState == 4) {
            if (v.x != 0.0f || v.z != 0.0f) {
                float gap = 0.5f * (e - a);
                v.x = -ex / e * gap;
                v.z = -ez / e * gap;
            }
            return 1;
        }
        float speed = sqrtf(v.x * v.x + v.z * v.z);
        float qx = p.x + v.x, qz = p.z + v.z;
        float theta = atan2f(o.x - qx, o.z - qz);
        float cx = o.x - sinf(theta + 0.0001f) * (n + 0.0001f) - qx;
        float cz = o.z - cosf(theta + 0.0001f) * (n + 0.0001f) - qz;
        float length = sqrtf(cx * cx + cz * cz);
        float scale = speed < 0.01f ? 0.01f : speed;
        if (length > 0.0f && cx * v.x + cz * v.z < 0.0f) {
            cx = o.x - sinf(theta - 0.0001f) * (n + 0.0001f) - qx;
            cz = o.z - cosf(theta - 0.0001f) * (n + 0.0001f) - qz;
            length = sqrtf(cx * cx + cz * cz);
            scale = speed;
        }
        if (length > 0.0f) {
            v.x = cx / length * scale;
            v.z = cz / length * scale;
        }
        v.x *= 0.5f;
        v.z *= 0.5f;
        return 1;
    }
    float overlap = 0.5f * (a - e);
    if (e > 0.0f) {
        v.x = ex / e * overlap;
        v.z = ez / e * overlap;
    } else {
        v.x = 0.0f;
        v.z = overlap;
    }
    return 1;
}

int32_t probeGround(float x, float y, float z, float dx, float dy, float dz, CollisionHit& hit) {
    if (findGroundUnder(x + dx, y + dy, z + dz, &hit)) return 1;
    hit.block = 0;
    hit.triangle = 0;
    hit.floorHeight = PROBE_NO_GROUND;
    return 2;
}

namespace {

// Step 4 of the movement: the ground ahead, with the slide along a refused
// triangle's edge. True when member 0 may move.
bool acceptGroundAhead() {
    PartyState& party = gParty;
    Vector3& p = party.positions[0];
    Vector3& v = party.velocity;
    CollisionHit& hit = party.ground[0];
    int32_t found = probeGround(p.x, p.y, p.z, v.x, v.y, v.z, hit);
    if (found != 1 || !cliffOrDamage(hitSurface(hit)) || hit.floorHeight < party.groundHeights[0]) return true;
    const CollisionTriangle* t = hitTriangle(hit);
    if (!t) return false;
    const CollisionTriangle refused = *t;
    // The triangle lies in its block's own coordinates: the step is compared
    // with its edges there, ending at the point the ground query tested.
    const CollisionHit frame = hit;
    float lvx = v.x, lvz = v.z;
    hitDirectionToBlock(frame, &lvx, &lvz);
    float step[4] = {frame.localX - lvx, frame.localZ - lvz, frame.localX, frame.localZ};
    for (int32_t e = 0; e < 3; e++) {
        int32_t next = (e + 1) % 3;
        float edge[4] = {refused.x[e], refused.z[e], refused.x[next], refused.z[next]};
        if (!doSegmentsCross2D(step, edge)) continue;
        float ex = edge[2] - edge[0], ez = edge[3] - edge[1];
        float length = sqrtf(ex * ex + ez * ez);
        if (length == 0.0f) continue;
        if (ex * lvx + ez * lvz < 0.0f) {
            ex = -ex;
            ez = -ez;
        }
        hitDirectionToWorld(frame, &ex, &ez);
        float speed = sqrtf(v.x * v.x + v.z * v.z);
        v.x = ex / length * speed;
        v.z = ez / length * speed;
        if (probeGround(p.x, p.y, p.z, v.x, v.y, v.z, hit) != 1 || walkable(hitSurface(hit), hit)) return true;
        v.x *= -0.4f;
        v.z *= -0.4f;
        return probeGround(p.x, p.y, p.z, v.x, v.y, v.z, hit) == 1 && walkable(hitSurface(hit), hit);
    }
    return false;
}

// The enemies' bodies; a dash (actionTimer running) passes through them.
void pushFromEnemies(bool* pushed) {
    PartyState& party = gParty;
    if (party.actionTimer > 0) return;
    for (const Enemy& e : gEnemies) {
        if (e.state != ENEMY_ALIVE || e.dormancy > 0 || e.position.y <= -70.0f) continue;
        if (e.kind < 0 || e.kind >= ENEMY_KIND_CAPACITY) continue;
        const EnemyKind& kind = gEnemyKinds[e.kind];
        float r = kind.scale * kind.pushRadius, h = 2.0f * kind.scale * kind.centreHeight;
        if (pushOutOfObject(e.position, r, h)) *pushed = true;
        // Extra body points on the model's attach points: the crabs' legs and
        // claws while the character stands, the golem arms' crystals.
        auto point = [&](int32_t k, float radius, float height) {
            if ((e.attachWritten & (1 << k)) && pushOutOfObject(e.attachPos[k], radius, height)) *pushed = true;
        };
        if ((e.kind == 68 || e.kind == 69) && party.stunTimer <= 0) {
            for (int32_t k = 0; k < 4; k++) point(k, 0.3f * r, 0.6f * h);
            point(4, r, h);
            point(5, r, h);
        } else if (e.kind == 62 || e.kind == 63) {
            point(e.kind - 62, r, h);
        }
    }
}

void pushFromFloorObjects(bool* pushed) {
    PartyState& party = gParty;
    const Vector3& p = party.positions[0];
    for (const FloorObject& o : gFloorObjects) {
        if (o.kind < 0 || o.kind >= FLOOR_OBJECT_KIND_COUNT) continue;
        if (o.state == FLOOR_OBJECT_ACTIVE || o.state == FLOOR_OBJECT_HIDDEN) continue;
        // The body: radius and height are the kind's first two floats, the
        // first flag says whether it blocks at all.
        const FloorObjectKindRow& body = FLOOR_OBJECT_KINDS[o.kind];
        float r = body.values[0], h = body.values[1];
        if (o.kind == FLOOR_OBJECT_TREE_A || o.kind == FLOOR_OBJECT_TREE_B) {
            float dx = o.position.x - p.x, dz = o.position.z - p.z;
            float d = sqrtf(dx * dx + dz * dz);
            float big = o.size.x * r;
            if (d < 3.0f * big) party.pushFactor = d >= 2.0f * big ? (d - 2.0f * big) / big : 0.0f;
        }
        if (body.flags[0] != 0 && pushOutOfObject(o.position, o.size.x * r, o.size.y * h)) *pushed = true;
    }
}

// Rays around member 0 push it back out of walls.
void pushFromWalls() {
    Vector3& p = gParty.positions[0];
    bool shop = onShopStage();
    int32_t n = shop && p.z > 0.7f ? 20 : 8;
    for (int32_t i = 0; i < n; i++) {
        float angle = static_cast<float>(i % n) * TWO_PI / static_cast<float>(n) + PI;
        float height = i >= 8 ? 0.1f + 0.08f * static_cast<float>(i / 8 + 1) : 0.7f;
        float dx = sinf(angle);
        float dz = 1.05f * cosf(angle);
        if (shop && 1.03f * cosf(angle) > 0.1f) dz = 1.03f * cosf(angle);
        float t = 0.0f;
        CollisionHit hit = {};
        if (!castMapSegment(p.x, p.y + height, p.z, dx, 0.0f, dz, &t, &hit)) continue;
        int32_t surface = hitSurface(hit);
        if (wallLike(surface) || (surface == SURFACE_SOLID && fabsf(hit.normalY) < 0.75f)) {
            p.x -= (1.0f - t) * dx;
            p.z -= (1.0f - t) * dz;
        }
    }
}

}  // namespace

void moveAndCollide() {
    PartyState& party = gParty;
    Vector3& p = party.positions[0];
    Vector3& v = party.velocity;
    bool pushed = false;
    pushFromEnemies(&pushed);
    pushFromFloorObjects(&pushed);
    if (pushed) {
        float speed = sqrtf(v.x * v.x + v.z * v.z);
        if (speed > 0.05f) {
            v.x *= 0.05f / speed;
            v.z *= 0.05f / speed;
        }
    }
    bool airborne = false;
    if (acceptGroundAhead()) {
        airborne = p.y > party.groundHeights[0];
        if (isFloorConditionActive(CONDITION_DRIFT)) v.x += 0.005f;
        if (party.moveLock <= 0) {
            float share = party.ailmentTimers[0] > 0 ? 0.5f : 1.0f;
            p.x += v.x * share;
            p.z += v.z * share;
        }
    }
    pushFromWalls();
    for (int32_t k = 0; k <= FOLLOWER; k++) {
        if (party.models[k] == -1) continue;
        Vector3& m = party.positions[k];
        party.groundHeights[k] = GROUND_UNPROBED;
        CollisionHit hit = {};
        if (findGroundUnder(m.x, m.y, m.z, &hit)) {
            party.ground[k] = hit;
            party.groundHeights[k] = party.shadowHeights[k] = hit.floorHeight;
            if (k == 0) {
                m.y += v.y;
                if (m.y < hit.floorHeight) m.y = hit.floorHeight;
                if (m.y == hit.floorHeight && (fabsf(hit.normalY) < 0.5f || wallLike(hitSurface(hit)))) {
                    v.x += 0.1f * hit.normalX;
                    v.z -= 0.1f * hit.normalZ;
                }
            }
        } else {
            party.groundHeights[k] = party.shadowHeights[k] = FALL_FLOOR;
            if (k == 0) m.y += v.y;
        }
        if (m.y < FALL_FLOOR) m.y = FALL_FLOOR;
    }
    float ground = party.groundHeights[0];
    if (p.y > ground && (v.y > 0.0f || p.y - ground >= 0.5f)) return;
    p.y = ground;
    if (airborne && party.stunTimer > 0) playSoundEffect(SOUND_KNOCKED_LANDING);
    if (v.y < 0.0f) v.y = 0.0f;
}

void placePlayer(float x, float z, float angle) {
    PartyState& party = gParty;
    party.positions[0].x = x;
    party.positions[0].z = z;
    party.facing = angle;
    party.hopTimer = 0;
    party.actionState = 0;
    party.actionFrame = 0;
    party.velocity = Vector3{0.0f, 0.0f, 0.0f};
    party.frozen = 0;
    for (MotionState& m : party.motions) setMotion(m, 0);
    gFieldCamera.cameraReset = 1;
}

void moveFairy(int32_t a, int32_t flag) {
    if (a < 0 || a >= PARTY_MEMBER_COUNT) return;
    PartyState& party = gParty;
    Vector3& f = party.positions[FAIRY];
    const Vector3& anchor = party.positions[a];
    float reach = gRun.runEndState > RUN_GOES_ON ? 1.0f : 1.5f;
    float aimX, aimZ;
    aimAt(f, anchor.x, anchor.z, reach, reach, &aimX, &aimZ);
    float stepX, stepZ;
    float moved = stepToward(f, aimX, aimZ, 0.15f, 0.35f, &stepX, &stepZ);
    f.y += (hoverHeight() + party.groundHeights[0] - f.y) * 0.15f;
    if (!flag) return;
    MotionState& motion = party.motions[FAIRY];
    if (moved > 0.01f) {
        setMotion(motion, 1);
        motion.direction = spriteDirectionOf(atan2f(stepX, stepZ));
    } else {
        setMotion(motion, storyFlag(FLAG_TUTORIAL_REPEAT) ? 5 : 0);
    }
}

void moveFollowers() {
    PartyState& party = gParty;
    if (party.frozen == 1) return;
    bool shop = onShopStage();
    int32_t anchor = shop ? 0 : FOLLOWER;
    bool trail = !shop || !storyFlag(FLAG_FAIRY_TALK) || storyFlag(FLAG_STORY_VISIT);
    if (trail && party.models[FOLLOWER] != -1) moveFollower(gRun.runEndState > RUN_GOES_ON);
    if (party.models[FAIRY] != -1) {
        bool morning = shop && gShopSequence == SHOP_SEQUENCE_MORNING && gFieldTicks < 200 &&
                       !storyFlag(FLAG_STORY_VISIT);
        if (party.actionState == ACTION_FACING_FAIRY || party.actionState == ACTION_HELD_POSE ||
            storyFlag(FLAG_STORY_TUTORIAL) || morning) {
            hoverFairy(anchor);
        } else if (shop && !trail && !(gShopSequence == SHOP_SEQUENCE_FROM_TOWN && gFieldTicks < 60)) {
            wanderFairy();
        } else {
            moveFairy(anchor, 1);
        }
        if (!shop) party.motions[FAIRY].direction = party.motions[anchor].direction;
        if (floorIntroFrames() == 0 && fairyShown() && party.tick % 4 == 0 && !gSEasyDisp) spawnSparkle();
    }
    for (int32_t k = 0; k < PARTY_MEMBER_COUNT; k++) {
        if (party.models[k] == -1) continue;
        party.groundHeights[k] = 0.0f;
        CollisionHit hit = {};
        const Vector3& m = party.positions[k];
        if (findGroundUnder(m.x, m.y, m.z, &hit)) {
            party.ground[k] = hit;
            party.groundHeights[k] = party.shadowHeights[k] = hit.floorHeight;
        }
    }
}

void spawnAmbientEffects() {
    const StageRecord* stage = currentStageRecord();
    if (!stage) return;
    const PartyState& party = gParty;
    const Vector3& p = party.positions[0];
    int32_t t = party.tick;
    if (stage->windlerf && t % 100 == 0) spawnEffectObject(nullptr, p.x, p.y + 2.0f, p.z, 24, 1.0f, 2);
    if ((isFloorConditionActive(CONDITION_HAZE) || party.ailmentTimers[1] > 0) && t % 4 == 0)
        spawnEffectObject(nullptr, p.x, p.y + 2.0f, p.z, 79, 1.0f, 1);
    if (stage->houshi && t % 2 == 0) spawnEffectObject(nullptr, p.x, p.y + 2.0f, p.z, 88, 1.0f, 1);
    if (stage->windfire && t % 15 == 0) spawnEffectObject(nullptr, p.x, p.y, p.z, 63, 2.0f, 1);
    if (stage->windbouble && t % 32 == 0) spawnEffectObject(nullptr, p.x, p.y, p.z, 86, 1.0f, 1);
}

void updateIdleParty() {
    PartyState& party = gParty;
    spawnAmbientEffects();
    bool shop = onShopStage();
    if (shop) {
        if (gShopFloor.shopFloorState != SHOP_FLOOR_OPEN) {
            if (storyFlag(FLAG_STORY_VISIT)) {
                setMotion(party.motions[0], 0);
                setMotion(party.motions[FAIRY], 0);
                faceStoryVisitor();
            } else {
                float rx, rz;
                screenRight(&rx, &rz);
                const Vector3& lead = party.positions[0];
                const Vector3& f = party.positions[FAIRY];
                bool fairyRight = (f.x - lead.x) * rx + (f.z - lead.z) * rz > 0.0f;
                party.motions[0].direction = fairyRight ? 6 : 2;
                party.motions[FAIRY].direction = fairyRight ? 2 : 6;
                party.facing = fairyRight ? PI / 2.0f : -PI / 2.0f;
                setMotion(party.motions[0], 6);
                setMotion(party.motions[FAIRY], 4);
            }
        }
        updateCustomers();
    } else {
        setMotion(party.motions[FOLLOWER], 0);
        setMotion(party.motions[FAIRY], 0);
        if (party.actionState != ACTION_STUNNED) setMotion(party.motions[0], 0);
        if (gRun.dungeonIndex == 4 && gFloorIndex == 99) spinFinalFloorBlock();
    }
    for (int32_t k = 0; k < PARTY_MEMBER_COUNT; k++)
        if (party.models[k] != -1) advanceMotion(party.motions[k], party.models[k], 1.0f);
    if (party.frozen != 1) moveFairy(shop ? 0 : FOLLOWER, 0);
    if (fairyShown() && party.tick % 4 == 0) spawnSparkle();
    if (shop) animateStoryVisitors();
    party.tick += 1;
}
