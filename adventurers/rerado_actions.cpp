// Rerado's attack and skill routines.
#include "adventurers/action_routines.h"

void runReAttack(PartyState&) {}
void runReSkill1(PartyState&) {}
void runReSkill2(PartyState&) {}
void runReSkill3(PartyState&) {}
