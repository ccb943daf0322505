// Zoze's attack and skill routines.
#include "adventurers/action_routines.h"

void runZoAttack(PartyState&) {}
void runZoSkill1(PartyState&) {}
