// Dedar's attack and skill routines.
#include "adventurers/action_routines.h"

void runDeAttack(PartyState&) {}
void runDeSkill1(PartyState&) {}
void runDeSkill2(PartyState&) {}
void runDeSkill3(PartyState&) {}
