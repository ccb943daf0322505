// dungeon/enemies.h: the enemy pool of a dungeon floor and the enemy kinds
// (their records are in the front door): the per-frame update, movement,
// damage and the dying sequences. The floor logic fills and moves them; the
// field drawing reads them. Main thread only.
#pragma once

#include "dungeon/dungeon.h"

// Kinds the pool's own code names.
enum EnemyKindNumber : int32_t {
    KIND_KING_SLIME = 23,
    KIND_MOUSE_PANEL = 24,
    KIND_RERADO = 25,
    KIND_ZAZURU = 27,
    KIND_GLYPH = 28,
    KIND_PUMPKIN = 15,
    KIND_WISP = 34,
    KIND_GOLD_GOLEM = 35,
    KIND_SILVER_GOLEM = 36,
    KIND_BOMB_RED = 37,
    KIND_BOMB_BLUE = 38,
    KIND_BOMB_GREEN = 39,
    KIND_BOMB_YELLOW = 40,
    KIND_ALMA = 41,
    KIND_KING_KNIGHT = 49,
    KIND_SKELETON_WHITE = 50,
    KIND_SKELETON_GOLD = 51,
    KIND_KING_BAT = 54,
    KIND_KING_PUMPKIN = 55,
    KIND_MOUSE_BRAVE = 59,
    KIND_MOUSE_TUNNY = 60,
    KIND_GOLEM = 61,
    KIND_GOLEM_RIGHT = 62,
    KIND_GOLEM_LEFT = 63,
    KIND_GOLEM_DARK = 64,
    KIND_GOLEM_DARK_RIGHT = 65,
    KIND_GOLEM_DARK_LEFT = 66,
    KIND_CATERPILLAR = 67,
    KIND_CRAB = 68,
    KIND_CRAB_BLACK = 69,
    KIND_JELLYFISH = 70,
    KIND_JELLYFISH_RED = 71,
    KIND_DEVIL_HAND = 72,
    KIND_ARMGOLEM = 73,
    KIND_ARMGOLEM_CORE = 74,
    KIND_ARMGOLEM_RIGHT_HAND = 75,
    KIND_ARMGOLEM_LEFT_HAND = 76,
};

// A freed record is passed over for this many of allocEnemy's scans.
constexpr int32_t ENEMY_REUSE_SCANS = 20;

bool isSkinnedKind(int32_t kind);
// The enemy's kind row; an empty row for a kind outside the table.
const EnemyKind& enemyKindOf(const Enemy& e);
// A golem (61 or 64) and its right and left arms at one point, all waiting
// (ai[0] 8) for the floor script; the arms are carried by this golem's own
// record. Returns the golem, or null when the pool had no room for it.
Enemy* spawnGolemGroup(float x, float y, float z, int32_t golemKind);
bool isGolemArm(int32_t kind);   // 62, 63, 65, 66

// Movement of one record against the map, the character and its home.
void moveEnemy(Enemy& e);
// One frame of a dying record; frees it at its sequence's end.
void updateDyingEnemy(Enemy& e);
// Boss endings' shared steps.
void stepBossDeathBurst(Enemy& e);
// Another living enemy of the same kind; with none, every living enemy
// turns dying and the result is null.
Enemy* endFightIfLastOfKind(Enemy& e);
void clearBossArena(Enemy& e, int32_t frame);
// The enemies' animation alone, while an event or the pause runs over the field.
void tickEnemyAnimations();
// The motion-range row (start, end, hold) of a 3D kind's motion id; an id
// past the kind's table holds its last row.
struct EnemyMotionRange {
    int32_t start;
    int32_t end;
    int32_t hold;   // 1: held at its last frame; 0: loops
};
EnemyMotionRange enemyMotionRange(int32_t kind, int32_t motion);

// The 20 items of the random drop classes, cheapest first.
constexpr int32_t RANDOM_DROP_COUNT = 20;
extern const int32_t RANDOM_DROP_IDS[RANDOM_DROP_COUNT];

// ---- The behaviours (dispatch and routines), called for living records.
// Until they arrive an enemy stands where it is.
void thinkEnemy(Enemy& e);
// The kinds' damage hooks.
void onReradoDamaged(Enemy& e);
void onGlyphDamaged(Enemy& e);
void onAlmaDamaged(Enemy& e);
void onArmgolemDamaged(Enemy& e);
