// adventurers/attack_kinds.h: the rules of the attack objects' kinds.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"

// The rule of the object's kind for this tick (index: its pool index);
// false when the tick skips the wall stage. A kind without a rule ends.
bool runAttackKindRule(AttackObject& a, int32_t index);
