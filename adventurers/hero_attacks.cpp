#include "adventurers/hero_attacks.h"

void spawnHeroAttack(PartyState&, int32_t, int32_t) {}
