// Zuzi's attack and skill routines.
#include "adventurers/action_routines.h"

void runZuAttack(PartyState&) {}
void runZuAttack2(PartyState&) {}
void runZuSkill1(PartyState&) {}
void runZuSkill2(PartyState&) {}
void runZuSkill3(PartyState&) {}
void runZuSkill4(PartyState&) {}
