// dungeon/enemy_death.cpp: damage to an enemy, its death (kill combo,
// experience, the drop roll) and the dying sequences, the boss endings
// among them.
#include <cmath>

#include "dungeon/enemies.h"
#include "dungeon/loot_odds.h"
#include "dungeon/spawn_tables.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "shop/shop.h"

const int32_t RANDOM_DROP_IDS[RANDOM_DROP_COUNT] = {4008, 4001, 4025, 4009, 4026, 4002, 4003, 4027, 4004, 4028,
                                                    4017, 4012, 4029, 4005, 4013, 4031, 4018, 4014, 4033, 4007};

namespace {

constexpr int32_t HIT_FLASH = 30;
constexpr int32_t SMALL_PICKUPS_MAX = 25;
constexpr int32_t CONDITION_DOUBLE_EXP = 2;
constexpr int32_t RESPAWN_FRAMES = 600;
constexpr int32_t SOUND_OBJECT_BREAKS = 318;
constexpr int32_t SOUND_CRASH = 319;
constexpr int32_t SOUND_BLAST = 328;
constexpr int32_t SOUND_BONES_RISE = 334;
constexpr int32_t SOUND_BONES_FALL = 335;
constexpr int32_t SOUND_DEFEATED = 337;
constexpr int32_t SOUND_HEAVY_SHAKE = 360;
constexpr int32_t EFFECT_SET_BURST = 3;
constexpr int32_t EFFECT_SET_BLAST = 12;
constexpr int32_t BOMB_ATTACK = 18;
constexpr int32_t ATTACK_HITS_ALL = 3;
constexpr int32_t BOMB_BLAST_FRAME = 540;
// The second kill of each of these two bosses in dungeon 1 always drops its
// slot-0 item: {kind, first-kill flag, second-kill flag}.
constexpr int32_t FORCED_DROPS[2][3] = {{KIND_KING_SLIME, 240, 241}, {KIND_MOUSE_PANEL, 242, 243}};

AdventurerRecord* runAdventurer() {
    if (gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT) return nullptr;
    return &runningGameState().adventurers[gChosenAdventurer];
}

// A strong adventurer gets half the rewards of weak enemies (at least one).
int32_t weakEnemyShare(int32_t n, const Enemy& e) {
    const AdventurerRecord* a = runAdventurer();
    if (n > 0 && a && a->level >= 9 && a->level > 2 * e.level) {
        n /= 2;
        if (n < 1) n = 1;
    }
    return n;
}

void sprayGem(const Enemy& e, int32_t callerWord) {
    sprayDropsRandomPlus(&gParty, e.position.x, e.position.y + 0.5f, e.position.z, pickDropKind(), 1, 1.0f, 0,
                         callerWord);
}

void addExperience(int32_t amount) {
    AdventurerRecord* a = runAdventurer();
    if (!a) return;
    a->experience += isFloorConditionActive(CONDITION_DOUBLE_EXP) ? 2 * amount : amount;
}

void freeEnemy(Enemy& e) { e.state = ENEMY_FREE; }

void turnDying(Enemy& e) {
    e.state = ENEMY_DYING;
    e.dyingFrames = 0;
}

void effectSetAt(Enemy& e, float x, float y, float z, int32_t set, float scale) {
    spawnEffectSet(&e, x, y, z, set, scale, -1, 0.0f, 0);
}

void slowMotionAndGuard(int32_t slowMotion, int32_t invincibility) {
    gRun.slowMotionTimer = slowMotion;
    gParty.invincibility = invincibility;
}

// Fades alpha by step; below 0 the record is freed. True once freed.
bool fadeOut(Enemy& e, int32_t step) {
    e.alpha -= step;
    if (e.alpha >= 0) return false;
    freeEnemy(e);
    return true;
}

void turnOtherLivingDying(const Enemy& e) {
    for (Enemy& o : gEnemies)
        if (&o != &e && o.state == ENEMY_ALIVE) turnDying(o);
}

bool anotherLivingOfKind(const Enemy& e) {
    for (const Enemy& o : gEnemies)
        if (&o != &e && o.state == ENEMY_ALIVE && o.kind == e.kind) return true;
    return false;
}

// An item drop of the kind's slot on this floor; false when it lists none.
bool dropKindItem(Enemy& e, int32_t slot) {
    int32_t id = getKindDropItem(e.kind, slot, e.variant);
    if (id == -1 || id == 0) return false;
    int32_t flag = 0;
    if (slot == 0) {
        int32_t row = findItemDef(id);
        if (row >= 0 && runningGameState().merchantLevel + 1 < gItemDefinitions[row].si) flag = randomInt() & 1;
    }
    sprayDropsRandomPlus(&gParty, e.centre.x, e.centre.y, e.centre.z, id + PICKUP_ITEM_FIRST, 1, 0.0f, flag, 0);
    return true;
}

void dropRandomItem(Enemy& e, int32_t add, int32_t cap) {
    int32_t v = static_cast<int32_t>(static_cast<float>(gFloorIndex + 2 * gRun.dungeonIndex) / 3.0f) + add;
    if (v > cap) v = cap;
    int32_t id = RANDOM_DROP_IDS[randomInt() % (v + 1)];
    sprayDropsRandomPlus(&gParty, e.centre.x, e.centre.y, e.centre.z, id + PICKUP_ITEM_FIRST, 1, 0.0f, 0, 0);
}

bool forcedDrop(const Enemy& e) {
    if (gRun.dungeonIndex != 1) return false;
    uint8_t* flags = runningGameState().storyFlags;
    for (const auto& row : FORCED_DROPS) {
        if (e.kind != row[0]) continue;
        if (!flags[row[1]]) {
            flags[row[1]] = 1;
            return false;
        }
        if (flags[row[2]]) return false;
        flags[row[2]] = 1;
        return true;
    }
    return false;
}

void rollDrop(Enemy& e) {
    int32_t r = randomInt() % 1000;
    bool boss = isBossKind(e.kind);
    bool forced = forcedDrop(e);
    float bound[DROP_CLASSES];
    float sum = 0.0f;
    for (int32_t i = 0; i < DROP_CLASSES; i++) {
        sum += gDropOdds.odds[i];
        bound[i] = sum * 1000.0f;
    }
    float roll = static_cast<float>(r);
    if (!forced && roll < bound[0]) {
        if (boss) return;
        dropRandomItem(e, 4, 7);
        updateDropOdds(0, 0);
    } else if (!forced && roll < bound[1]) {
        if (boss) return;
        dropRandomItem(e, 7, 19);
        updateDropOdds(0, 1);
    } else if (forced || roll < bound[2]) {
        updateDropOdds(0, dropKindItem(e, 0) ? 2 : -1);
    } else if (roll < bound[3]) {
        updateDropOdds(0, dropKindItem(e, 1) ? 3 : -1);
    } else if (roll < bound[4]) {
        updateDropOdds(0, dropKindItem(e, 2) ? 4 : -1);
    } else {
        updateDropOdds(0, -1);
    }
}

bool isBomb(int32_t kind) { return kind >= KIND_BOMB_RED && kind <= KIND_BOMB_YELLOW; }

// A bomb moving fast enough goes off on another enemy or a map surface.
bool bombTouches(const Enemy& e) {
    const Vector3& v = e.velocity;
    float speed = sqrtf(v.x * v.x + v.z * v.z);
    if (speed <= 0.01f) return false;
    for (const Enemy& o : gEnemies) {
        if (&o == &e || o.state == ENEMY_FREE || o.kind < 0) continue;
        float dx = o.position.x - e.position.x, dz = o.position.z - e.position.z;
        if (sqrtf(dx * dx + dz * dz) < 1.5f) return true;
    }
    const EnemyKind& kind = enemyKindOf(e);
    float reach = 3.0f * kind.wallRadius * kind.scale;
    float dx = v.x, dz = v.z;
    if (speed < reach) {
        dx = v.x / speed * reach;
        dz = v.z / speed * reach;
    }
    float t = 0.0f;
    CollisionHit hit = {};
    if (!castMapSegment(e.position.x, e.position.y + 0.2f, e.position.z, dx, 0.0f, dz, &t, &hit)) return false;
    return hitSurface(hit) != SURFACE_DAMAGE && t < 1.0f;
}

void dyingBomb(Enemy& e) {
    int32_t least = e.kind == KIND_BOMB_BLUE ? 480 : e.kind == KIND_BOMB_GREEN ? 360 : 240;
    if (e.dyingFrames < least) e.dyingFrames = least;
    if (!bombTouches(e) && e.dyingFrames != BOMB_BLAST_FRAME) return;
    freeEnemy(e);
    playSoundEffect(SOUND_BLAST);
    effectSetAt(e, e.position.x, e.position.y, e.position.z, EFFECT_SET_BLAST, 2.0f);
    startCameraShake(32, 4, 4, 1.0f);
    spawnEnemyAttack(e, BOMB_ATTACK, ATTACK_HITS_ALL);
}

// The duel bosses' poses while the floor script plays their defeat.
void posedAtStart(Enemy& e, float dz) {
    const Vector3& start = gFloorPlan.floorStartPos;
    e.position = Vector3{start.x - 3.0f, start.y, start.z + dz};
    setMotion(e.motion, 0);
    e.motion.direction = 2;
    e.yaw = PI / 2.0f;
}

void shrinkAndRise(Enemy& e) {
    e.scaleX -= 0.05f;
    e.scaleY += 0.2f;
    e.position.y = static_cast<float>(gFloorScript.sequenceTimer) * 0.25f;
    if (e.scaleX < 0.0f) freeEnemy(e);
}

void dyingDuelBoss(Enemy& e, int32_t n, int32_t slowMotion, float poseDz, int32_t shrinkState) {
    if (n == 1) slowMotionAndGuard(slowMotion, 1200);
    if (e.kind != KIND_RERADO && n == 60) endFightIfLastOfKind(e);
    if (gRun.dungeonIndex == 5) {
        if (n >= 60) fadeOut(e, 16);
        return;
    }
    if (gFloorScript.state == 5) posedAtStart(e, poseDz);
    else if (gFloorScript.state == shrinkState) shrinkAndRise(e);
}

void dyingZazuru(Enemy& e, int32_t n) {
    if (n == 1) {
        slowMotionAndGuard(60, 1200);
        turnOtherLivingDying(e);
    }
    clearBossArena(e, n);
    if (gFloorScript.state >= 9) {
        e.motion.direction = 2;
        e.position = Vector3{gFloorPlan.floorStartPos.x - 3.0f, gFloorPlan.floorStartPos.y, 55.5f};
        e.yaw = PI / 2.0f;
        if (gFloorScript.sequenceTimer > 60) fadeOut(e, 16);
    }
}

// The 3D bosses: bursts until 120 and a fade from 100.
void dying3DBoss(Enemy& e, int32_t n, int32_t motion) {
    if (n == 1) slowMotionAndGuard(60, 1200);
    if (n == 60) endFightIfLastOfKind(e);
    if (n > 0 && n < 120) stepBossDeathBurst(e);
    if (n >= 100) {
        e.alpha -= 8;
        if (e.alpha < 0) {
            e.alpha = 0;
            freeEnemy(e);
        }
        // The golem arms go with the body (the jellyfish carry none).
        if (e.kind != KIND_JELLYFISH && e.kind != KIND_JELLYFISH_RED)
            for (Enemy& arm : gEnemies)
                if (isGolemArm(arm.kind)) {
                    arm.alpha = e.alpha;
                    arm.state = e.state;
                }
    }
    setEnemyMotion(e, motion);
}

void dyingArmgolem(Enemy& e, int32_t n) {
    e.position.y = 1.0f;
    e.velocity.y = 0.0f;
    if (n == 1) slowMotionAndGuard(60, 1200);
    if (gRun.dungeonIndex == 5 && n >= 60) {
        if (n == 60) endFightIfLastOfKind(e);
        fadeOut(e, 4);
    }
    if (n > 60 && n < 240) stepBossDeathBurst(e);
    if (n >= 302) setEnemyMotion(e, 13);
    else if (n >= 2) setEnemyMotion(e, 12);
}

void dyingArmgolemCore(Enemy& e, int32_t n) {
    e.position.y = 1.0f;
    e.velocity.y = 0.0f;
    setEnemyMotion(e, 12);
    if (gRun.dungeonIndex == 5 && n >= 60) fadeOut(e, 16);
}

void dyingKing(Enemy& e, int32_t n) {
    if (n == 1) {
        slowMotionAndGuard(60, anotherLivingOfKind(e) ? 60 : 1200);
        startCameraShake(8, 4, 4, 1.0f);
        playSoundEffect(SOUND_BLAST);
        playSoundEffect(SOUND_CRASH);
        effectSetAt(e, e.centre.x, e.centre.y, e.centre.z, EFFECT_SET_BURST, 1.0f);
        e.alpha = 0;
    }
    if (n == 60) endFightIfLastOfKind(e);
    if (n > 60) stepBossDeathBurst(e);
    if (n == 120) freeEnemy(e);
}

void dyingMouse(Enemy& e, int32_t n) {
    setEnemyMotion(e, 18);
    if (n == 1) slowMotionAndGuard(60, 1200);
    if (n == 20 || n == 38) {
        startCameraShake(8, 4, 4, 1.0f);
        playSoundEffect(SOUND_HEAVY_SHAKE);
    }
    if (n == 60) {
        startDefeatOrbit();
        e.position = Vector3{-40.0f, 0.0f, -40.0f};
        e.yaw = -PI;
        resetEffects(0);
        turnOtherLivingDying(e);
    }
    if (n == 200) startAfterimage(80);
    if (n == 280 || n == 284) {
        startCameraShake(24, 4, 4, 1.0f);
        playSoundEffect(SOUND_HEAVY_SHAKE);
        startAfterimage(32);
    }
    if (n >= 300) {
        e.alpha = e.alpha - 2 < 0 ? 0 : e.alpha - 2;
        if (n < 348) {
            float u = randomUnit();
            float u2 = randomUnit();
            spawnEffectObject(&e, e.position.x + (u - 0.5f) * 5.0f, 0.5f, e.position.z + u2 * 6.0f, 69, 0.4f, 3);
        }
    }
    if (n == 500) freeEnemy(e);
}

void dyingRevivable(Enemy& e, int32_t n) {
    if (n == 1) {
        setMotion(e.motion, 4);
        playSoundEffect(SOUND_BONES_FALL);
    } else if (n == 60) {
        setMotion(e.motion, 5);
        playSoundEffect(SOUND_BONES_RISE);
    } else if (n == 90) {
        e.revives--;
        e.state = ENEMY_ALIVE;   // with the HP killEnemy gave back
    }
}

void dyingOrdinary(Enemy& e, int32_t n) {
    if (n != 2) return;
    freeEnemy(e);
    if (e.trapSpawned == 0 && e.summoned == 0 && randomInt() % 3 == 0 && !isBossFloor()) e.respawnTimer = RESPAWN_FRAMES;
    startCameraShake(8, 4, 4, 1.0f);
    playSoundEffect(SOUND_DEFEATED);
    effectSetAt(e, e.centre.x, e.centre.y, e.centre.z, EFFECT_SET_BURST, 0.7f);
}

}  // namespace

void damageEnemy(Enemy& e, int32_t amount, int32_t flags) {
    float before = e.hp;
    e.hp -= static_cast<float>(amount);
    e.hitFlash = HIT_FLASH;
    if (e.kind == KIND_RERADO) onReradoDamaged(e);
    else if (e.kind == KIND_GLYPH) onGlyphDamaged(e);
    else if (e.kind == KIND_ALMA) onAlmaDamaged(e);
    if (amount == 0) flags = 0;
    spawnDamagePopup(e.centre.x, e.centre.y, e.centre.z, amount, 0);
    constexpr int32_t LABELS[4][2] = {{1, 10}, {2, 11}, {4, 12}, {8, 13}};
    int32_t stack = 0;
    for (const auto& label : LABELS)
        if (flags & label[0]) spawnDamagePopup(e.centre.x, e.centre.y, e.centre.z, stack++, label[1]);
    if (flags != 0) {
        int32_t absorbed = static_cast<int32_t>(before) < amount ? static_cast<int32_t>(before) : amount;
        int32_t n = absorbed / 2 / 2;
        if (n > SMALL_PICKUPS_MAX) n = SMALL_PICKUPS_MAX;
        n = weakEnemyShare(n, e);
        for (int32_t i = 0; i < n; i++) {
            if (gSEasyDisp == 0) sprayGem(e, 1);
            else addExperience(1);
        }
    }
    if (e.kind == KIND_ARMGOLEM) onArmgolemDamaged(e);
    if (e.hp >= 1.0f) return;
    e.hp = 0.0f;
    if (e.killDelay <= 0) killEnemy(e);
}

void killEnemy(Enemy& e) {
    e.hp = 0.0f;
    if ((e.kind == KIND_SKELETON_WHITE || e.kind == KIND_SKELETON_GOLD) && e.revives > 0) {
        e.hp = e.maxHp;
        e.shownHp = 0.0f;
    }
    e.dyingFrames = 0;
    e.state = ENEMY_DYING;
    if (e.revives > 0) return;

    FloorStatus& combo = gFloorStatus;
    if (e.kind == combo.enemyKillComboKind) {
        if (e.trapSpawned == 0 && e.summoned == 0) combo.enemyKillCombo++;
    } else {
        combo.enemyKillCombo = 0;
    }
    combo.enemyKillComboKind = e.kind;

    const EnemyKind& kind = enemyKindOf(e);
    int32_t n = static_cast<int32_t>(static_cast<float>(kind.baseExp + e.level / 2) * 0.8f +
                                     static_cast<float>(combo.enemyKillCombo));
    if (e.trapSpawned == 1 || e.summoned == 1) n = 1;
    if (e.trapSpawned == 2) n = 0;
    n = weakEnemyShare(n, e);
    if (kind.baseExp == 0) n = 0;
    for (int32_t i = 0; i < n; i++) {
        if (gSEasyDisp == 0) sprayGem(e, 0);
        else addExperience(10);
    }
    AdventurerRecord* a = runAdventurer();
    if (gSEasyDisp != 0 && n > 0 && a && a->experience >= a->nextLevelExp) levelUp(*a);

    if (e.trapSpawned == 0) rollDrop(e);
}

void stepBossDeathBurst(Enemy& e) {
    if (e.dyingFrames % 8 != 1) return;
    startCameraShake(8, 4, 4, 1.0f);
    playSoundEffect(SOUND_BLAST);
    playSoundEffect(SOUND_CRASH);
    float u1 = randomUnit();
    float u2 = randomUnit();
    float u3 = randomUnit();
    effectSetAt(e, e.position.x + (u1 - 0.5f) * 5.0f, e.position.y + u2 * 5.0f, e.position.z + (u3 - 0.5f) * 5.0f,
                EFFECT_SET_BURST, 1.0f);
}

Enemy* endFightIfLastOfKind(Enemy& e) {
    for (Enemy& o : gEnemies)
        if (&o != &e && o.state == ENEMY_ALIVE && o.kind == e.kind) return &o;
    for (Enemy& o : gEnemies) {
        if (o.state != ENEMY_ALIVE) continue;
        turnDying(o);
        setMotion(o.motion, 2);
    }
    return nullptr;
}

void clearBossArena(Enemy& e, int32_t frame) {
    BreakableObjects& b = gBreakableObjects;
    for (int32_t k = 0; k < b.count && k < BREAKABLE_OBJECT_MAX; k++) {
        if (!b.alive[k]) continue;
        if (frame == 10 + 4 * k) {
            float x = b.position[k][0], y = b.position[k][1] + 2.0f, z = b.position[k][2];
            spawnEffect(&e, x, y, z, 1, 1.0f, -1, 0.0f, 0);
            spawnEffect(&e, x, y, z, 2, 1.0f, -1, 0.0f, 0);
            spawnEffect(&e, x, y, z, 3, 0.4f, -1, 0.0f, 0);
            if (k % 3 == 0) playSoundEffect(SOUND_OBJECT_BREAKS);
            startCameraShake(10, 4, 4, 1.0f);
        }
        if (frame == 20 + 4 * k) b.alive[k] = 0;
    }
    if (frame == 30) turnOtherLivingDying(e);
}

void updateDyingEnemy(Enemy& e) {
    e.reuseTimer = ENEMY_REUSE_SCANS;
    int32_t n = ++e.dyingFrames;
    e.velocity.y -= e.kicked ? 0.025f : 0.05f;
    switch (e.kind) {
    case KIND_RERADO: dyingDuelBoss(e, n, 120, -1.5f, 6); break;
    case KIND_GLYPH: case KIND_ALMA: dyingDuelBoss(e, n, 60, -6.5f, 7); break;
    case KIND_ZAZURU: dyingZazuru(e, n); break;
    case KIND_JELLYFISH: case KIND_JELLYFISH_RED: dying3DBoss(e, n, 13); break;
    case KIND_CRAB: case KIND_CRAB_BLACK: dying3DBoss(e, n, 14); break;
    case KIND_CATERPILLAR: dying3DBoss(e, n, 5); break;
    case KIND_GOLEM: case KIND_GOLEM_DARK: dying3DBoss(e, n, 10); break;
    case KIND_ARMGOLEM: dyingArmgolem(e, n); break;
    case KIND_ARMGOLEM_CORE: dyingArmgolemCore(e, n); break;
    case KIND_KING_SLIME: case KIND_KING_KNIGHT: case KIND_KING_BAT: case KIND_KING_PUMPKIN: dyingKing(e, n); break;
    case KIND_MOUSE_PANEL: case KIND_MOUSE_BRAVE: case KIND_MOUSE_TUNNY: dyingMouse(e, n); break;
    default:
        if (isBomb(e.kind)) dyingBomb(e);
        else if (e.revives > 0) dyingRevivable(e, n);
        else dyingOrdinary(e, n);
    }
}
