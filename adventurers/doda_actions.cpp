// Doda's attack and skill routines.
#include "adventurers/action_routines.h"

void runDoAttack(PartyState&) {}
void runDoSkill1(PartyState&) {}
void runDoSkill2(PartyState&) {}
void runDoSkill3(PartyState&) {}
void runDoSkill4(PartyState&) {}
