// Vuror's attack and skill routines.
#include "adventurers/action_routines.h"

void runVuAttack(PartyState&) {}
void runVuSkill1(PartyState&) {}
void runVuSkill2(PartyState&) {}
