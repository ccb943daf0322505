#include "adventurers/attack_objects.h"

AttackObject gAttackObjects[ATTACK_OBJECT_POOL_SIZE];

void resetAttackObjects() {
    for (AttackObject& a : gAttackObjects) a = AttackObject{};
}
