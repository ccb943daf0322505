#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"

AttackObject gAttackObjects[ATTACK_OBJECT_POOL_SIZE];

void resetAttackObjects() {
    for (AttackObject& a : gAttackObjects) a = AttackObject{};
}

// The attacks' flight and hits arrive with the attack objects.
void updateAttackObjects() {}

void spawnEnemyAttack(Enemy&, int32_t, int32_t) {}
