#include "adventurers/attack_objects.h"

// Attack objects arrive with the attacks.
void updateAttackObjects() {}
