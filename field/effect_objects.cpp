// field/effect_objects.cpp: the effect objects' per-kind rules, the weapon
// trail and the clearing of every effect pool.
#include "field/effect_objects.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "field/effect_meshes.h"
#include "field/field.h"
#include "field/particles.h"

EffectObject gEffectObjects[EFFECT_OBJECT_POOL_SIZE];
TrailHistory gTrailHistory;

namespace {

constexpr float PI = 3.1415927f;
constexpr int32_t TRAIL_KIND = 148;
constexpr int32_t TRAIL_END = 18;

using Obj = EffectObject;

void step(Obj& o) {
    for (int32_t a = 0; a < 3; ++a) o.position[a] += o.velocity[a];
}
void scaledStep(Obj& o) {
    for (int32_t a = 0; a < 3; ++a) o.position[a] += o.velocity[a] * o.scale;
}
void damp(Obj& o, float f) {
    for (float& v : o.velocity) v *= f;
}
void turn(Obj& o, float x, float y, float z) {
    o.angles[0] += x;
    o.angles[1] += y;
    o.angles[2] += z;
}
void place(Obj& o, const Vector3& at, float dx, float dy, float dz) {
    o.position[0] = at.x + dx;
    o.position[1] = at.y + dy;
    o.position[2] = at.z + dz;
}
Vector3 positionOf(const Obj& o) { return Vector3{o.position[0], o.position[1], o.position[2]}; }

// H: the controlled character.
const Vector3& hero() { return gParty.positions[0]; }
// E: the enemy paramB names; null for an index outside the pool.
const Enemy* enemyOf(const Obj& o) {
    return o.paramB >= 0 && o.paramB < ENEMY_POOL_SIZE ? &gEnemies[o.paramB] : nullptr;
}

Vector3 rotated(Vector3 v, const Matrix4& first, const Matrix4& second) {
    return vec3TransformCoord(vec3TransformCoord(v, first), second);
}

// Raises the frame; true when it has reached the end.
bool age(Obj& o, int32_t end) { return ++o.frame == end; }

// Kinds 152, 117 and 147 fly toward a target once their frame reaches paramA.
bool homeOn(Obj& o, const Vector3& target) {
    step(o);
    damp(o, 0.97f);
    Vector3 d = vec3Subtract(target, positionOf(o));
    bool near = vec3Length(d) < 3.0f;
    bool steering = o.frame >= o.paramA;
    if (steering)
        for (int32_t a = 0; a < 3; ++a) o.velocity[a] = o.velocity[a] * 0.97f + (&d.x)[a] * 0.02f;
    bool ended = age(o, 64);
    return ended || (steering && near);
}

// Kinds 6 to 9 fly from beside the camera to their place around the party.
void flyToParty(Obj& o) {
    float yaw = gCamera.yaw;
    const Vector3& h = hero();
    Vector3 s = {gCamera.target.x + 6.0f * sinf(0.76f * PI - yaw), h.y + 1.0f,
                 gCamera.target.z + 6.0f * cosf(0.76f * PI - yaw)};
    float c = (float)o.paramB * 2.0f * PI / 3.0f + PI - yaw;
    Vector3 g = {h.x + 1.5f * sinf(c), h.y + 0.5f, h.z + 1.5f * cosf(c)};
    float f = (float)o.frame * 0.08f;
    if (f > 1.0f) f = 1.0f;
    Vector3 at = vec3Add(s, vec3Scale(vec3Subtract(g, s), f));
    place(o, at, 0.0f, 2.0f * sinf(f * PI), 0.0f);
}

// Kinds 32 and 33 hang at the skill's anchor.
void atSkillPoint(Obj& o) { place(o, gParty.skillPoint, 0.0f, 2.5f, 0.0f); }

bool stillStanding(int32_t kind) {
    switch (kind) {
    case 36: case 42: case 68: case 80: case 84: case 95: case 93: case 96: case 97: case 114:
        return true;
    default:
        return false;
    }
}

bool tumblingDebris(int32_t kind) {
    return (kind >= 37 && kind <= 40) || (kind >= 55 && kind <= 58) || (kind >= 70 && kind <= 73) ||
           (kind >= 122 && kind <= 132) || (kind >= 134 && kind <= 144);
}

// One tick of one object by its kind; true when it ends.
bool updateObject(Obj& o) {
    if (tumblingDebris(o.kind)) {
        if (o.frame >= 0) {
            scaledStep(o);
            o.velocity[1] -= 0.02f;
            damp(o, 0.95f);
        }
        o.angles[2] += o.angles[1];
        o.angles[1] *= 0.97f;
        return age(o, 32);
    }
    if (stillStanding(o.kind)) {
        switch (o.kind) {
        case 36: return age(o, 256);
        case 42: return age(o, 8);
        case 68: return age(o, 40);
        case 80: return age(o, 300);
        case 84: return age(o, 120);
        case 95: return age(o, 13);
        case 93: return age(o, o.paramA + 62);
        case 96:
            if (o.frame < 400) ++o.frame;
            return false;
        default: return age(o, 300);   // 97, 114
        }
    }
    switch (o.kind) {
    case 1: case 2: case 3: case 64: case 67: case 82: case 83: case 94: case 101: case 102: case 115: case 119:
        step(o);
        damp(o, 0.97f);
        return age(o, 24);
    case 104:
        step(o);
        return age(o, 48);
    case 105:
        step(o);
        damp(o, 0.98f);
        return age(o, 128);
    case 121:
        step(o);
        damp(o, 0.998f);
        return age(o, 305);
    case 31: case 100:
        step(o);
        o.velocity[1] -= 0.001f;
        damp(o, 0.97f);
        return age(o, 32);
    case 41:
        step(o);
        o.velocity[1] -= 0.002f;
        damp(o, 0.97f);
        return age(o, 40);
    case 45:
        if (o.frame >= 0) {
            step(o);
            o.velocity[1] += 0.002f;
            damp(o, 0.97f);
        }
        return age(o, 64);
    case 54: case 78: case 116:
        step(o);
        damp(o, 0.97f);
        o.velocity[1] -= 0.02f;
        return age(o, o.paramA);
    case 69: case 109:
        step(o);
        o.velocity[1] += o.offset[1];
        damp(o, 0.97f);
        return age(o, o.kind == 69 ? 128 : o.paramB);
    case 150: case 151:
        step(o);
        turn(o, 0.1f, 0.03f, 0.01f);
        damp(o, 0.995f);
        o.velocity[1] -= 0.03f;
        return age(o, 64);
    case 113:
        for (int32_t a = 0; a < 3; ++a) o.position[a] += 2.0f * o.velocity[a];
        damp(o, 0.9604f);
        o.frame += 2;
        return o.frame > 127;
    case 44:
        if (o.frame > 0)
            for (int32_t a = 0; a < 3; ++a) o.position[a] -= o.velocity[a];
        return age(o, 24);
    case 5: case 10: case 11: case 12:
        if (o.frame > 0) {
            scaledStep(o);
            damp(o, 0.95f);
            o.angles[2] += 0.1f;
        }
        return age(o, 24);
    case 92: case 111:
        if (o.frame > 0) {
            scaledStep(o);
            damp(o, 0.95f);
        }
        return age(o, 24);
    case 14: case 27: case 43: case 59: case 118: case 89:
        if (o.frame > 0) {
            scaledStep(o);
            damp(o, o.kind == 89 ? 1.05f : 0.95f);
        }
        return age(o, 32);
    case 15:
        if (o.frame >= 0) {
            scaledStep(o);
            damp(o, 0.9f);
        }
        return age(o, 16);
    case 103:
        if (o.frame > 0) {
            scaledStep(o);
            o.velocity[0] *= 0.95f;
            o.velocity[1] *= 0.95f;
            o.velocity[2] *= 0.99f;
            o.velocity[1] += 0.01f;
            o.angles[2] += o.velocity[2] * 0.1f;
        }
        return age(o, 128);
    case 16: case 145:
        scaledStep(o);
        o.velocity[1] -= (float)o.paramA * 0.003f;
        damp(o, 0.92f);
        return age(o, 24);
    case 21: case 22:
        scaledStep(o);
        o.velocity[1] -= 0.01f;
        o.velocity[0] *= 0.95f;
        o.velocity[1] *= 0.92f;
        o.velocity[2] *= 0.95f;
        if (o.kind == 21) {
            turn(o, -0.03f, -0.01f, -0.03f);
            return age(o, 124);
        }
        turn(o, -0.05f, -0.03f, -0.05f);
        return age(o, 224);
    case 24:
        o.velocity[1] = sinf(o.angles[1]) * 0.03f;
        scaledStep(o);
        turn(o, -0.05f, -0.03f, -0.05f);
        return age(o, 1240);
    case 63: case 86:
        scaledStep(o);
        turn(o, -0.05f, -0.03f, -0.05f);
        return age(o, 1240);
    case 79:
        if (o.frame < o.paramB - 2) {
            scaledStep(o);
            o.angles[2] -= 0.005f;
        }
        return age(o, 140);
    case 88:
        if (o.frame < o.paramB) {
            scaledStep(o);
            o.angles[1] += 0.02f;
        }
        return age(o, 1240);
    case 25: case 30: case 66:
        scaledStep(o);
        return age(o, 16);
    case 46:
        scaledStep(o);
        return age(o, 56);
    case 4: case 28: case 112:
        scaledStep(o);
        o.angles[2] += 0.1f;
        return age(o, o.kind == 112 ? 32 : 16);
    case 75: case 76: case 85:
        o.angles[1] += o.velocity[0];
        return age(o, o.kind == 75 ? o.paramB + 40 : (o.kind == 76 ? 40 : 144));
    case 51: case 62: case 77:
        o.angles[0] += o.velocity[0];
        return age(o, 48);
    case 81: case 87:
        o.angles[0] += o.velocity[0] * 0.5f;
        return age(o, o.kind == 81 ? 32 : 160);
    case 50:
        o.angles[0] += 0.2f;
        return age(o, 64);
    case 17:
        o.velocity[0] += o.velocity[1];
        return age(o, 48);
    case 99: case 120: {
        Vector3 at = hero();
        if (o.kind == 120) {
            const Enemy* e = enemyOf(o);
            if (!e) return true;
            at = e->position;
        }
        for (int32_t a = 0; a < 3; ++a) o.offset[a] += o.velocity[a];
        place(o, at, o.offset[0], o.offset[1] + 2.0f, o.offset[2]);
        return age(o, 24);
    }
    case 35:
        place(o, hero(), 0.0f, 0.1f, 0.0f);
        return age(o, 48);
    case 34: case 60:
        if (o.frame >= 0) {
            for (int32_t a = 0; a < 3; ++a) o.offset[a] += o.velocity[a];
            o.velocity[1] += o.kind == 34 ? 0.002f : -0.002f;
            place(o, hero(), o.offset[0], o.offset[1], o.offset[2]);
            damp(o, 0.97f);
        }
        return age(o, o.kind == 34 ? 32 : 48);
    case 90:
        if (o.frame >= 0) {
            o.offset[1] += o.velocity[1];
            o.velocity[1] += 0.004f;
            place(o, hero(), o.offset[0], o.offset[1], o.offset[2]);
            damp(o, 0.97f);
        }
        return age(o, 48);
    case 65: case 98:
        o.position[0] = hero().x;
        o.position[1] = gParty.skillHeight;
        o.position[2] = hero().z;
        if (o.kind == 98) {
            ++o.frame;
            return gParty.skillGauge <= 44;
        }
        return age(o, 100);
    case 152:
        return homeOn(o, vec3Add(hero(), Vector3{0.0f, 2.0f, 0.0f}));
    case 117: case 147: {
        const Enemy* e = enemyOf(o);
        if (!e) return true;
        return homeOn(o, vec3Add(e->position, Vector3{0.0f, 2.0f, 0.0f}));
    }
    case 29: {
        if (o.paramB < 0 || o.paramB >= ATTACK_OBJECT_POOL_SIZE) return true;
        place(o, gAttackObjects[o.paramB].position, o.velocity[0], o.velocity[1], o.velocity[2]);
        return age(o, 13);
    }
    case 18: case 19: case 20: {
        if (o.paramA < 0 || o.paramA >= FLOOR_OBJECT_MAX) return true;
        if (gFloorObjects[o.paramA].wasHit == 1) {
            ++o.paramB;
            if (o.kind != 20) {
                o.position[1] += o.scale * o.velocity[1];
                o.velocity[1] -= 0.03f;
            }
        }
        ++o.frame;
        return o.paramB == 60;
    }
    case 146:
        o.velocity[0] += sinf((float)(o.paramA + o.frame) * 0.05f) * 0.001f;
        step(o);
        turn(o, PI / 200.0f, PI / 200.0f, PI / 200.0f);
        return age(o, 256);
    case 108:
        if (o.frame >= 0 && o.frame < 20) {
            step(o);
            o.velocity[1] = o.velocity[1] * 0.98f + 0.0196f;
        } else if (o.frame >= 20 && o.frame < 120) {
            step(o);
            o.velocity[0] += -o.position[0] / 1200.0f;
            o.velocity[1] += (1.5f - o.position[1]) / 1200.0f;
            o.velocity[2] += (-1.0f - o.position[2]) / 1200.0f;
            damp(o, 0.98f);
        }
        return age(o, 600);
    case 110:
        if (o.frame >= 1 && o.frame <= 100) step(o);
        if (o.frame == 100)
            sprayDropsWithPlus(nullptr, o.position[0], o.position[1], o.position[2], pickDropKind(), 1, 1.0f, 0, 0, -1);
        return age(o, 116);
    case 52: {
        if (o.frame >= 0) {
            float d = (float)(24 - o.frame) * o.velocity[0];
            Vector3 arm = rotated(Vector3{0.0f, 0.0f, d}, matrixRotationX(o.velocity[2]), matrixRotationY(o.velocity[1]));
            place(o, vec3Add(hero(), arm), 0.0f, 2.0f, 0.0f);
            o.velocity[2] += 0.05f;
        }
        if (!age(o, 24)) return false;
        spawnEffectObject(nullptr, o.position[0], o.position[1], o.position[2], 53, 0.2f, 1);
        return true;
    }
    case 53:
        if (o.frame >= 0) {
            place(o, hero(), 0.0f, 2.0f, 0.0f);
            Vector3 v = rotated(Vector3{0.0f, 0.0f, 1.0f}, matrixRotationX(o.angles[2]), matrixRotationY(o.angles[1]));
            o.velocity[0] = v.x;
            o.velocity[1] = v.y;
            o.velocity[2] = v.z;
        }
        return age(o, 48);
    case 74: {
        Vector3 v = rotated(Vector3{0.0f, 1.0f, 1.0f}, matrixRotationY(o.angles[1]), matrixRotationZ(o.angles[2]));
        v = vec3TransformCoord(v, matrixRotationX(o.angles[0]));
        o.velocity[0] = v.x;
        o.velocity[1] = v.y;
        o.velocity[2] = v.z;
        o.angles[0] += (float)o.paramA * 0.0002f;
        o.angles[1] += (float)o.paramA * 0.0002f;
        Vector3 p = gParty.skillPoint;
        float h = gParty.facing;
        if (o.paramA >= 0 && o.paramA < PARTY_MODEL_SLOTS) {
            p = gParty.modelSlots[o.paramA].position;
            h = gParty.modelSlots[o.paramA].angle;
        }
        place(o, p, 0.5f * sinf(h), 1.5f, 0.5f * cosf(h));
        return age(o, 24);
    }
    case 61: {
        ++o.frame;
        if (o.frame >= 0) {
            o.angles[1] += o.velocity[0];
            float b = (float)o.paramB;
            float t = ((float)o.frame - 2.0f * b) * 0.04f;
            float r = (0.2f * b + 2.0f) * o.scale;
            o.position[0] = o.offset[0] + r * sinf(t);
            o.position[1] = o.offset[1] + (0.5f * b + o.velocity[1]) * o.scale;
            o.position[2] = o.offset[2] + r * cosf(t);
        }
        return o.frame == o.paramA * 270 / 100;
    }
    case 32:
        atSkillPoint(o);
        if (++o.frame % 4 == 0)
            spawnEffectObject(nullptr, o.position[0], o.position[1], o.position[2], 33, 1.0f, -1);
        return gParty.skillActive == 0;
    case 33: {
        if (o.paramB != -1) atSkillPoint(o);
        o.angles[0] += 0.15f;
        o.velocity[0] = 0.0f;
        o.velocity[1] = 0.2f * cosf((float)o.frame * PI / 128.0f) + (float)(o.paramB - 127) * 0.002f -
                        0.005f * (float)o.frame;
        o.velocity[2] = 0.0f;
        if (age(o, 32)) return true;
        if (o.paramB == -1) return gParty.skillActive == 0;
        return o.paramB < 0 || o.paramB >= ATTACK_OBJECT_POOL_SIZE || gAttackObjects[o.paramB].kind == 0;
    }
    case 6: case 7: case 8: case 9:
        flyToParty(o);
        ++o.frame;
        return gParty.skillActive == 0;
    default:
        // Kinds with no rule of their own only count their frames.
        ++o.frame;
        return false;
    }
}

void advanceTrail(EffectObject& o) {
    const Enemy& source = gEnemies[0];
    const Vector3* edges[2] = {&source.attachPos[0], &source.attachPos[1]};
    for (int32_t h = 0; h < 6; ++h) {
        float* points = gTrailHistory.points[h];
        for (int32_t i = TRAIL_HISTORY_POINTS - 1; i > 0; --i) points[i] = points[i - 1];
        points[0] = (&edges[h / 3]->x)[h % 3];
    }
    if (o.frame >= 2) {
        int32_t n = o.frame + 1 < TRAIL_HISTORY_POINTS ? o.frame + 1 : TRAIL_HISTORY_POINTS;
        float k[6][SPLINE_MAX_POINTS];
        for (int32_t h = 0; h < 6; ++h) solveSpline(gTrailHistory.points[h], n, k[h]);
        for (int32_t j = 0; j < TRAIL_STRIP_PAIRS; ++j) {
            float t = (float)(j * n) / (float)TRAIL_STRIP_PAIRS;
            float value[6];
            for (int32_t h = 0; h < 6; ++h) value[h] = evalSpline(t, gTrailHistory.points[h], n, k[h]);
            EffectVertex& a = gTrailStrip[2 * j];
            EffectVertex& b = gTrailStrip[2 * j + 1];
            a.x = value[0];
            a.y = value[1];
            a.z = value[2];
            b.x = value[3];
            b.y = value[4];
            b.z = value[5];
        }
    }
    if (++o.frame == TRAIL_END) o.kind = -1;
}

}  // namespace

void updateEffectObjects() {
    updateParticles();
    for (EffectObject& o : gEffectObjects) {
        if (o.kind == -1 || o.kind == TRAIL_KIND) continue;
        if (updateObject(o)) o.kind = -1;
    }
}

void updateTrails() {
    for (EffectObject& o : gEffectObjects)
        if (o.kind == TRAIL_KIND) advanceTrail(o);
}

void solveSpline(const float* points, int32_t count, float* k) {
    if (count <= 0) return;
    k[0] = k[count - 1] = 0.0f;
    if (count < 3) return;
    // Forward sweep over the inner knots, then back substitution.
    float diagonal[SPLINE_MAX_POINTS], rhs[SPLINE_MAX_POINTS];
    for (int32_t i = 1; i < count - 1; ++i) {
        diagonal[i] = 4.0f;
        rhs[i] = (points[i + 1] - points[i]) - (points[i] - points[i - 1]);
        if (i > 1) {
            float m = 1.0f / diagonal[i - 1];
            diagonal[i] -= m;
            rhs[i] -= m * rhs[i - 1];
        }
    }
    for (int32_t i = count - 2; i >= 1; --i) k[i] = (rhs[i] - k[i + 1]) / diagonal[i];
}

float evalSpline(float t, const float* points, int32_t count, const float* k) {
    if (count <= 0) return 0.0f;
    if (count == 1) return points[0];
    int32_t lo = 0, hi = count - 1;
    while (lo < hi) {
        int32_t mid = (lo + hi) / 2;
        if ((float)mid < t)
            lo = mid + 1;
        else
            hi = mid;
    }
    int32_t s0 = lo - 1 < 0 ? 0 : lo - 1;
    float s = t - (float)s0;
    float dy = points[s0 + 1] - points[s0];
    return points[s0] + s * (dy - (2.0f * k[s0] + k[s0 + 1])) + s * s * 3.0f * k[s0] +
           s * s * s * (k[s0 + 1] - k[s0]);
}

void resetEffectObjects() {
    for (EffectObject& e : gEffectObjects) {
        e = EffectObject{};
        e.kind = -1;
    }
    gTrailHistory = TrailHistory{};
}

void resetEffects(int32_t all) {
    gRun.trailDue = 0;
    clearEffectPools();
    for (EffectObject& e : gEffectObjects) e.kind = -1;
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i) gAttackObjects[i].kind = 0;
    for (NumberPopup& popup : gNumberPopups) popup.timer = 0;
    if (all)
        for (Pickup& p : gPickups) p.kind = -1;
}

void drawEditorMenu() {}
