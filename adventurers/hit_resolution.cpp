// What one attack object touches at its position, and the consequences:
// an enemy's damage with its knock-back, flinch and hit-stop; the controlled
// character's damage, guard, stun and push; the blows on chests, trees,
// grass and gates. One target per call. Main thread.
#include <cmath>
#include <initializer_list>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "adventurers/balloon.h"
#include "adventurers/bag.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"

namespace {

constexpr float PI_F = 3.14159265f;
constexpr int32_t LAST_HIT_FRAMES = 180;
constexpr int32_t HIT_STOP = 4;
constexpr int32_t CRITICAL_HIT_STOP = 8;
constexpr int32_t NO_OWNER_ROW = 26;
constexpr int32_t FLAG_CHEST_TEST = 217;         // a test switch: a chest rolls its loot 1000 times        // the attacker row of an object without an owner

// Label bits of a hit on an enemy, as damageEnemy shows them.
constexpr int32_t LABEL_CRITICAL = 1, LABEL_BACK = 2, LABEL_SIDE = 4, LABEL_BUSY = 8;

constexpr int32_t MEDICINE_FIRST = 4108;     // buffTimers[i] runs medicine 4108 + i
bool buffRuns(const PartyState& p, int32_t medicine) { return p.buffTimers[medicine - MEDICINE_FIRST] > 0; }

bool isAnyOf(int32_t v, std::initializer_list<int32_t> list) {
    for (int32_t x : list)
        if (v == x) return true;
    return false;
}

float wrapAngle(float a) {
    while (a > PI_F) a -= 2.0f * PI_F;
    while (a < -PI_F) a += 2.0f * PI_F;
    return a;
}

// The facing offset of a target with heading `heading` toward the object;
// 0 when it faces the object squarely.
float facingOffset(float dx, float dz, float heading) { return wrapAngle(atan2f(dx, dz) - heading + PI_F); }

int32_t times(int32_t damage, float f) { return (int32_t)((float)damage * f); }

// Damage below 1 still deals 1; then a chance of a little more.
int32_t withBonus(int32_t damage) {
    if (damage < 1) damage = 1;
    return damage + (damage >= 5 ? randomInt() % (damage / 5) : (randomInt() & 1));
}

const EnemyKind& attackerRow(const AttackObject& a) {
    if (a.ownerEnemy >= 0 && a.ownerEnemy < ENEMY_POOL_SIZE) return gEnemyKinds[gEnemies[a.ownerEnemy].kind];
    return gEnemyKinds[NO_OWNER_ROW];
}
int32_t attackerKind(const AttackObject& a) {
    return (a.ownerEnemy >= 0 && a.ownerEnemy < ENEMY_POOL_SIZE) ? gEnemies[a.ownerEnemy].kind : NO_OWNER_ROW;
}

void effectObjects(float x, float y, float z, int32_t a, int32_t b, float scale) {
    spawnEffectObject(nullptr, x, y, z, a, scale, 1);
    spawnEffectObject(nullptr, x, y, z, b, scale, 1);
}

bool serialSeen(const int32_t* ring, int32_t serial) {
    for (int32_t i = 0; i < ENEMY_HIT_SERIALS; ++i)
        if (ring[i] == serial) return true;
    return false;
}

// ---- Step 1: the enemies.

struct EnemyHit {
    Vector3 point;
    float dx, dy, dz, h;
    float reach;
    bool onCentre;
};

bool crab(int32_t kind) { return kind == 68 || kind == 69; }
bool jellyfish(int32_t kind) { return kind == 70 || kind == 71; }

bool testPoint(const AttackObject& a, const Enemy& e, const Vector3& p, float r, bool centre, EnemyHit& out) {
    const EnemyKind& row = gEnemyKinds[e.kind];
    float dx = p.x - a.position.x, dy = p.y - a.position.y, dz = p.z - a.position.z;
    if (dx == 0.0f && dz == 0.0f) dz = 0.01f;
    float h = sqrtf(dx * dx + dz * dz);
    float reach = r * row.hitRadius * row.scale;
    float v = r * row.centreHeight * row.scale;
    if (!(h - a.hitRadius < reach && dy - 0.8f * a.hitRadius < v && -v < dy + 0.8f * a.hitRadius)) return false;
    out = EnemyHit{p, dx, dy, dz, h, reach, centre};
    return true;
}

bool findEnemyPoint(const AttackObject& a, const Enemy& e, EnemyHit& out) {
    if (crab(e.kind)) {
        if (testPoint(a, e, e.centre, e.hitSize, true, out)) return true;
        for (int32_t k : {0, 1, 2, 3, 6, 7})
            if (testPoint(a, e, e.attachPos[k], e.hitSize / 2.0f, false, out)) return true;
        return false;
    }
    if (jellyfish(e.kind)) {
        for (int32_t k : {1, 2})
            if (testPoint(a, e, e.attachPos[k], e.hitSize / 2.0f, false, out)) return true;
        return false;
    }
    return testPoint(a, e, e.centre, e.hitSize, true, out);
}

bool skipEnemy(const AttackObject& a, const Enemy& e) {
    if (e.dormancy > 0 || e.busy != 0) return true;
    if (a.side == ATTACK_SIDE_TRAP && a.ownerEnemy == e.index) return true;
    if (e.state != ENEMY_ALIVE && e.state != ENEMY_DYING) return true;
    if (e.state == ENEMY_DYING && e.kicked == 0) return true;
    return serialSeen(e.hitSerials, a.serial);
}

int32_t baseDamage(const AttackObject& a, const Enemy& e) {
    const EnemyKind& row = gEnemyKinds[e.kind];
    int32_t def = 0, mdef = 0;
    if (!e.noDefence) {
        def = (int32_t)((float)row.defence * e.sizeFactor * e.sizeFactor);
        mdef = (int32_t)((float)row.magicDefence * e.sizeFactor * e.sizeFactor);
    }
    float atk, mag;
    if (a.side == ATTACK_SIDE_PARTY) {
        atk = (float)gParty.totals[0];
        mag = (float)gParty.totals[2];
    } else {
        const EnemyKind& attacker = attackerRow(a);
        float scale = getEnemyLevelScale(attackerKind(a));
        atk = (float)attacker.attack * scale;
        mag = (float)attacker.magic * scale;
    }
    int32_t physical = (int32_t)(atk / 2.0f - (float)def / 4.0f);
    int32_t magical = (int32_t)(mag / 2.0f - (float)mdef / 4.0f);
    int32_t v;
    if (isAnyOf(a.kind, {18, 82, 96, 97, 98, 106, 131})) v = magical;
    else if (isAnyOf(a.kind, {62, 81, 95, 99, 100, 130})) v = (physical + magical) / 2;
    else v = physical;
    return (int32_t)((float)v * a.power);
}

void enemyHitEffects(const AttackObject& a, float x, float y, float z, bool blocked) {
    if (a.side == ATTACK_SIDE_PARTY && gParty.darkSoulTimer > 0)
        spawnEffect(nullptr, x, y, z, 25, 1.0f, EFFECT_LIFETIME_DEFAULT, 0.0f, EFFECT_ATTACH_FREE);
    else if (a.side == ATTACK_SIDE_PARTY && !blocked)
        a.critical ? effectObjects(x, y, z, 3, 15, 0.2f) : effectObjects(x, y, z, 1, 25, 0.2f);
    else if (blocked)
        effectObjects(x, y, z, 41, 42, 0.2f);
    else
        effectObjects(x, y, z, 1, 25, 0.2f);
}

int32_t enemyHitSound(const AttackObject& a, bool blocked) {
    if (a.kind == 83) return 687;
    if (blocked) return 359;
    if (a.side == ATTACK_SIDE_TRAP) return 319;
    if (a.critical) return 328;
    if (a.kind == 91) return 319;
    if (a.kind == 92 || a.kind == 95) return 679;
    if (isAnyOf(a.kind, {133, 134, 135})) return (randomInt() & 1) ? 319 : 679;
    if (isAnyOf(a.kind, {2, 3, 109, 111, 112})) return 339;
    return 319;
}

int32_t hitEnemy(AttackObject& a, Enemy& e, const EnemyHit& hit) {
    const EnemyKind& row = gEnemyKinds[e.kind];
    float a0 = facingOffset(hit.dx, hit.dz, e.yaw);
    bool blocked = e.kind == 72;
    if (crab(e.kind) && !(e.ai[0] == 6 && e.ai[2] == 1))
        blocked = blocked || !hit.onCentre || fabsf(a0) >= 0.9424778f;

    float ix = hit.point.x - hit.reach * hit.dx / hit.h;
    float iy = a.position.y + 0.85f * hit.dy;
    float iz = hit.point.z - hit.reach * hit.dz / hit.h;
    float vh = sqrtf(a.velocity.x * a.velocity.x + a.velocity.z * a.velocity.z);
    float k = vh > 0.0f ? 0.7f / vh : 0.0f;
    const float k0 = k;
    e.hitSerials[e.hitSerialNext] = a.serial;
    e.hitSerialNext = (e.hitSerialNext + 1) % ENEMY_HIT_SERIALS;

    int32_t damage = 0, labels = 0;
    const bool vortex = a.kind == 83;
    if (vortex) {
        if (row.modelKind == 0 && e.kind != 34) {
            int32_t l = hasBossOnFloor() ? 120 : 600;
            e.hitStun = l - a.age > 0 ? l - a.age : 0;
            gRun.hitStopTimer = HIT_STOP;
            k = 0.0f;
        }
    } else {
        gParty.hitFlags |= 2;
        damage = baseDamage(a, e);
        if (a.side == ATTACK_SIDE_PARTY) {
            if (isFloorConditionActive(5) || isFloorConditionActive(3)) damage *= 2;
            if (buffRuns(gParty, 4109) || buffRuns(gParty, 4111)) damage *= 2;
        } else if (isFloorConditionActive(4) || isFloorConditionActive(3)) {
            damage *= 2;
        }
        if (isFloorConditionActive(7) || isFloorConditionActive(6)) damage /= 2;
        if (crab(e.kind) && hit.onCentre && a.kind == 18 && e.ai[0] != 6) {
            e.ai[0] = 6;
            e.ai[1] = e.ai[2] = e.ai[3] = 0;
        }
        if (e.blocking && e.hitStun == 0 && fabsf(a0) < 1.0995574f) {
            blocked = true;
            setMotion(e.motion, 4);
            e.ai[1] = 0;
            e.ai[0] = 4;
        }
        if (e.ai[0] >= 1 && e.ai[0] <= 6) {
            damage = times(damage, 1.2f);
            labels |= LABEL_BUSY;
        }
        if (fabsf(a0) >= 3.0f * PI_F / 4.0f) {
            damage = times(damage, 1.5f);
            labels |= LABEL_BACK;
        } else if (fabsf(a0) >= PI_F / 4.0f) {
            damage = times(damage, 1.2f);
            labels |= LABEL_SIDE;
        }
        if (a.side == ATTACK_SIDE_PARTY) {
            if (gParty.berserkTimer > 0 || gParty.darkSoulTimer > 0) damage = times(damage, 1.5f);
            if (a.critical) {
                damage *= 2;
                labels |= LABEL_CRITICAL;
            }
        }
        if (blocked) damage = 0;
        else if (e.kind == 5) damage = damage > 0 ? damage : 0;
        else damage = withBonus(damage);

        e.flinchTimer = a.kind == 96 ? 60 : 40;
        if (!blocked) e.motion.whiteFlash = 6;
        if (e.kicked && e.hp <= 0.0f) {
            k *= 0.3f;
        } else {
            if (e.guardMode == 1) k = 0.0f;
            else if (e.guardMode == 2) k *= 0.5f;
            switch (a.kind) {
            case 130: k = 0.0f; e.motion.splitTimer = 1; e.flinchTimer = 60; break;
            case 138: k *= 1.5f; e.flinchTimer = 60; break;
            case 98: case 102: case 115: case 118: case 126: k *= 0.3f; break;
            case 114: k *= 0.1f; break;
            case 120: case 122: k *= 0.2f; break;
            case 91: k = (gParty.hitFlags & 1) ? 0.0f : k * 0.2f; break;
            default: break;
            }
        }
        e.killDelay = 0;
        if (a.kind == 133 || a.kind == 134) {
            e.killDelay = 30;
            k = 0.0f;
        }
        gRun.hitStopTimer = HIT_STOP;
    }

    // Whether the blow moves the enemy.
    bool killsKicked = e.kicked && e.hp - (float)damage <= 0.0f;
    if ((e.hitResponse == 0 && !blocked && e.guardMode != 1) || killsKicked) {
        if (e.guardMode == 2) e.flinchTimer /= 2;
        if (e.trapSpawned == 0) e.ai[0] = e.ai[1] = e.ai[2] = 0;
        if (e.hitStun > 0) {
            e.velocity = {0.0f, 0.0f, 0.0f};
            setMotion(e.motion, 0);
        } else {
            setMotion(e.motion, 2);
            if (killsKicked) e.velocity = {k0 * a.velocity.x, 0.5f, k0 * a.velocity.z};
            else e.velocity = {k * a.velocity.x, 0.3f, k * a.velocity.z};
        }
    } else {
        e.flinchTimer = 0;
    }

    enemyHitEffects(a, ix, iy, iz, blocked);
    if ((a.kind == 4 || a.kind == 82) && damage > 0)
        spawnEffectObject(nullptr, e.centre.x, e.centre.y, e.centre.z, 152, 0.2f, 1);
    playSoundEffect(enemyHitSound(a, blocked));

    gRun.lastHitValue = e.index;
    gRun.lastHitTimer = LAST_HIT_FRAMES;
    if (a.critical && a.side == ATTACK_SIDE_PARTY && !vortex) gRun.hitStopTimer = CRITICAL_HIT_STOP;
    int32_t hpLeft = (int32_t)e.hp;
    gCombat.lastDamage = damage < hpLeft ? damage : hpLeft;
    // A dying (kicked) enemy is pushed but not damaged again: its reward is paid.
    if (!vortex && e.state == ENEMY_ALIVE) damageEnemy(e, damage, labels);
    if (e.guardMode != 0 && e.hp == 0.0f) setMotion(e.motion, 2);
    return 1;
}

int32_t resolveEnemies(AttackObject& a) {
    for (Enemy& e : gEnemies) {
        if (skipEnemy(a, e)) continue;
        EnemyHit hit;
        if (findEnemyPoint(a, e, hit)) return hitEnemy(a, e, hit);
    }
    return 0;
}

// ---- Step 2: the controlled character.

bool magicKind(int32_t kind) {
    return isAnyOf(kind, {18, 20, 31, 33, 38, 43, 70, 90, 107, 108, 137, 152, 153, 154});
}

int32_t playerHitSound(int32_t kind) {
    if (isAnyOf(kind, {11, 19, 20})) return 331;
    if (isAnyOf(kind, {13, 16, 17, 22, 23})) return 341;
    if (kind == 31) return 350;
    return 319;
}

// 0 not guarded, 1 guarded, 2 parried (the object breaks).
int32_t guardOf(AttackObject& a, PartyState& p, float px, float pz) {
    if (p.actionState != 0) return 0;
    if (fabsf(wrapAngle(atan2f(px, pz) - p.facing + PI_F)) >= PI_F / 4.0f) return 0;
    int32_t who = gChosenAdventurer;
    if ((who == 0 || who == 5) && (a.kind == 86 || a.kind == 150)) {
        playSoundEffect(361);
        return 1;
    }
    if (who == 0 && isAnyOf(a.kind, {31, 81, 108})) {
        playSoundEffect(361);
        return 2;
    }
    if (who == 1 && p.tapWindow >= 1 && p.tapWindow <= 29) {
        p.dodgeTimer = 30;
        setMotion(p.motions[0], 6);
        playSoundEffect(379);
        return 1;
    }
    return 0;
}

float playerDamage(const AttackObject& a, const PartyState& p) {
    const EnemyKind& row = attackerRow(a);
    float l = getEnemyLevelScale(attackerKind(a));
    float damage;
    if (magicKind(a.kind)) {
        damage = (float)row.magic * l / 2.0f - (float)p.totals[3] / 4.0f;
        if (tryItemEffect(2503, 10, 5)) damage /= 4.0f;
    } else {
        float atk = (float)row.attack * l;
        damage = (a.kind == 15 ? atk / 4.0f : atk / 2.0f) - (float)p.totals[1] / 4.0f;
        if (tryItemEffect(2502, 10, 5)) damage /= 4.0f;
    }
    if (p.berserkTimer > 0 || p.darkSoulTimer > 0) damage /= 2.0f;
    if (isFloorConditionActive(0) || isFloorConditionActive(3)) damage *= 2.0f;
    if (isFloorConditionActive(8) || isFloorConditionActive(6)) damage /= 2.0f;
    if (buffRuns(p, 4110) || buffRuns(p, 4111)) damage /= 2.0f;
    return damage;
}

int32_t resolvePlayer(AttackObject& a) {
    PartyState& p = gParty;
    if (p.invincibility > 0) return 0;
    const Vector3 t = p.positions[0];
    float dx = t.x - a.position.x, dy = t.y - a.position.y, dz = t.z - a.position.z;
    if (dx == 0.0f && dz == 0.0f) dz = 0.01f;
    float h = sqrtf(dx * dx + dz * dz);
    // The character's own radius is a fixed 2.
    bool inside = h - a.hitRadius < 2.0f && dy < a.hitRadius && dy > -(a.hitRadius + 5.0f);
    if (a.kind == 83) {
        if (!inside) return 0;
        p.velocity.x = p.velocity.z = 0.0f;
        return 1;
    }
    if (!inside) return 0;
    float ix = t.x - 2.0f * dx / h, iy = a.position.y, iz = t.z - 2.0f * dz / h;
    float px = a.velocity.x, pz = a.velocity.z;
    if (px == 0.0f && pz == 0.0f) {
        px = dx;
        pz = dz;
    }
    float pl = sqrtf(px * px + pz * pz);
    float k = pl > 0.0f ? 0.3f / pl : 0.0f;

    int32_t guard = guardOf(a, p, px, pz);
    if (guard) {
        p.invincibility = 15;
        p.motions[0].whiteFlash = 4;
    } else {
        p.motions[0].whiteFlash = 6;
        p.invincibility = 30;
    }
    gRun.hitStopTimer = HIT_STOP;

    float damage = playerDamage(a, p);
    int32_t dmg = 0;
    if (!guard) {
        if (a.kind == 17 && p.ailmentTimers[0] < 120) p.ailmentTimers[0] = 120;
        dmg = withBonus((int32_t)(damage * a.power));
        // A trap enemy never finishes the character. Owner-less objects
        // (falling rocks, rolling logs) have no such mark.
        if (a.ownerEnemy >= 0 && a.ownerEnemy < ENEMY_POOL_SIZE && gEnemies[a.ownerEnemy].trapSpawned == 2) {
            int32_t cap = (int32_t)p.hp - 1;
            if (dmg > cap) dmg = cap;
            if (dmg < 0) dmg = 0;
        }
        applyDamageToPlayer(dmg);
    }
    gCombat.lastDamage = dmg;

    if ((p.berserkTimer > 0 || p.darkSoulTimer > 0 || p.zazuruTimer > 0) && p.hp > 0.0f) {
        p.stunTimer = 0;
    } else if (guard) {
        p.stunTimer = 0;
        p.velocity.x = 0.5f * k * px;
        p.velocity.z = 0.5f * k * pz;
        if (a.kind == 86 || a.kind == 150) {
            a.velocity.x = -0.2f * k * px;
            a.velocity.z = -0.2f * k * pz;
        }
    } else if (a.kind == 160) {
        p.stunTimer = 0;
        p.invincibility = 4;
        gRun.hitStopTimer = 2;
        p.actionState = 1;
        setMotion(p.motions[0], 2);
        p.velocity = {0.1f * px, 0.0f, 0.1f * pz};
    } else if (a.kind == 19 && p.hp > 0.0f) {
        if (a.ownerEnemy >= 0 && a.ownerEnemy < ENEMY_POOL_SIZE) gEnemies[a.ownerEnemy].ai[0] = 1;
    } else {
        p.stunTimer = isAnyOf(a.kind, {14, 18, 161}) ? 70 : 30;
        p.actionState = 1;
        setMotion(p.motions[0], 2);
        p.velocity = {k * px, 0.4f, k * pz};
    }
    if (dmg == 0 && p.stunTimer > 2) p.stunTimer = 2;
    if (p.hp <= 0.0f) {
        gRun.runEndState = RUN_DEFEATED;
        p.hp = 0.0f;
        p.velocity.y = 0.5f;
    }
    if (a.kind == 19) {
        int32_t tether = (a.ownerEnemy >= 0 && a.ownerEnemy < ENEMY_POOL_SIZE) ? gEnemies[a.ownerEnemy].index : 0;
        spawnEffectObject(nullptr, ix, iy, iz, 117, 0.2f, tether);
    }
    if (!guard) {
        spawnDamagePopup(t.x, t.y, t.z, dmg, 5);
        playSoundEffect(playerHitSound(a.kind));
        if (magicKind(a.kind)) spawnEffectSet(nullptr, ix, iy, iz, 11, 1.0f, EFFECT_LIFETIME_DEFAULT, 0.0f, 0);
        else effectObjects(ix, iy, iz, 1, 25, 0.2f);
        return 1;
    }
    effectObjects(ix, iy, iz, 1, 25, 0.1f);
    if (guard == 2) a.kind = 0;
    return 2;
}

// ---- Step 3: the floor objects.

int32_t trapKindUnder(float x, float z, int32_t deep, int32_t shallow) {
    int32_t col = (int32_t)((x - 20.0f) / -40.0f), row = (int32_t)((z - 20.0f) / -40.0f);
    if (col < 0 || row < 0 || col >= MAP_GRID_SIZE || row >= MAP_GRID_SIZE) return shallow;
    return gFloorGrid.mapGrid[row][col].shapeIndex >= 5 ? deep : shallow;
}

void openTrapChest(FloorObject& o) {
    float x = o.position.x, z = o.position.z;
    int32_t fired;
    if (gRun.dungeonIndex == 0) {
        fired = triggerTrap(x, z, trapKindUnder(x, z, 5, 4));
    } else if (randomInt() % 10 == 0) {
        triggerTrap(x, z, 10);
        fired = 0;
    } else {
        static constexpr int32_t KINDS[3] = {8, 9, 6};
        int32_t r = randomInt() & 3;
        fired = triggerTrap(x, z, r < 3 ? KINDS[r] : trapKindUnder(x, z, 5, 4));
    }
    o.state = FLOOR_OBJECT_OPENED;
    if (fired == 1) {
        playVoice(TRAP_CHEST_VOICES[randomInt() % 3]);
        gParty.hitCooldown = 60;
    }
    runningGameState().dayScore += 2;
}

int32_t openTreasureChest(FloorObject& o) {
    gParty.promptKind = 4;
    gParty.hitCounter = 1;
    if (isBagFull()) {
        o.hitPoints = 1;
        setBalloon(1, 0, 2, 0, 180);
        return 1;
    }
    o.state = FLOOR_OBJECT_OPENED;
    if (storyFlag(FLAG_CHEST_TEST)) {
        for (int32_t i = 0; i < 1000; ++i) {
            int32_t before = 0;
            for (const Pickup& pk : gPickups) before += pk.kind >= 0;
            rollChestLoot(o.position.x, o.position.y + 0.5f, o.position.z);
            int32_t after = 0;
            for (const Pickup& pk : gPickups) after += pk.kind >= 0;
            if (after == before) showDebugMessage("\x95\xf3\x94\xa0\x83\x47\x83\x89\x81\x5b", 0);
        }
    } else {
        rollChestLoot(o.position.x, o.position.y + 0.5f, o.position.z);
    }
    runningGameState().dayScore += 2;
    return 1;
}

int32_t hitFloorObject(AttackObject& a, FloorObject& o, float dx, float dz) {
    o.recentAttacks[o.recentIndex] = a.serial;
    o.recentIndex = (o.recentIndex + 1) % FLOOR_OBJECT_RECENT_HITS;
    o.shakeFrames = 5;
    if (isAnyOf(a.kind, {2, 84, 109, 111, 112})) gParty.hitFlags |= 2;
    const float x = o.position.x, y = o.position.y, z = o.position.z;
    if (o.kind == FLOOR_OBJECT_GRASS_A || o.kind == FLOOR_OBJECT_GRASS_B) {
        o.shakeFrames = 0;
        spawnEffectObject(nullptr, x - dx / 2.0f, y + 0.5f * o.size.y, z - dz / 2.0f, 21, o.size.x, 6);
        playSoundEffect(345);
    } else {
        playSoundEffect(361);
        if (o.kind == FLOOR_OBJECT_TREE_A)
            spawnEffectObject(nullptr, x - dx / 2.0f, y + 20.5f * o.size.y, z - dz / 2.0f, 22, o.size.x, 6);
    }
    if (o.hitPoints == -1) {
        if (o.kind == FLOOR_OBJECT_TREE_A || o.kind == FLOOR_OBJECT_TREE_B)
            spawnEffectObject(nullptr, a.position.x, a.position.y, a.position.z, 1, 0.2f, 1);
        return 1;
    }
    o.hitPoints -= 1;
    if (o.hitPoints > 0) {
        spawnEffectObject(nullptr, a.position.x, a.position.y, a.position.z, 1, 0.2f, 1);
        return 1;
    }
    if (o.kind == FLOOR_OBJECT_RETURN_GATE) {
        o.state = FLOOR_OBJECT_ACTIVE;
    } else if ((o.kind == FLOOR_OBJECT_CHEST || o.kind == FLOOR_OBJECT_TRAP_CHEST) &&
               storyFlag(FLAG_DUNGEON_TUTORIAL)) {
        o.state = FLOOR_OBJECT_OPENED;
        gRun.gatePrompt = 1;
    } else if (o.kind == FLOOR_OBJECT_TRAP_CHEST) {
        openTrapChest(o);
    } else if (o.kind == FLOOR_OBJECT_CHEST) {
        openTreasureChest(o);
        if (o.state != FLOOR_OBJECT_OPENED) return 1;
    }
    o.wasHit = 1;
    return 1;
}

int32_t resolveFloorObjects(AttackObject& a) {
    for (FloorObject& o : gFloorObjects) {
        if (o.kind == FLOOR_OBJECT_FREE || o.state != FLOOR_OBJECT_IDLE || o.kind == FLOOR_OBJECT_MAGIC_CIRCLE)
            continue;
        if (serialSeen(o.recentAttacks, a.serial)) continue;
        const FloorObjectKindRow& row = FLOOR_OBJECT_KINDS[o.kind];
        float dx = o.position.x - a.position.x, dy = o.position.y - a.position.y, dz = o.position.z - a.position.z;
        if (dx == 0.0f && dz == 0.0f) dz = 0.01f;
        float h = sqrtf(dx * dx + dz * dz) - a.hitRadius;
        float r = row.values[0] * o.size.x, height = row.values[1] * o.size.x;
        if (h < r && dy < a.hitRadius && -(height + a.hitRadius) < dy) return hitFloorObject(a, o, dx, dz);
    }
    return 0;
}

}  // namespace

int32_t resolveAttackHit(AttackObject& a) {
    if (gRun.runEndState > 0 || gRun.gatePrompt > 0 || gRun.equipPrompt > 0 || gEventReady != 0) return 0;
    gCombat.hitCheckRan = 1;
    if ((a.side == ATTACK_SIDE_PARTY || a.side == ATTACK_SIDE_TRAP) && gParty.hp > 0.0f) {
        if (resolveEnemies(a)) return 1;
    }
    if (a.side == ATTACK_SIDE_ENEMY || a.side == ATTACK_SIDE_TRAP) return resolvePlayer(a);
    if (a.side == ATTACK_SIDE_PARTY) return resolveFloorObjects(a);
    return 0;
}
