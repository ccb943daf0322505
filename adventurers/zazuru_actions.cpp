// Zazuru's attack and skill routines.
#include "adventurers/action_routines.h"

void runZaAttack(PartyState&) {}
void runZaSkill1(PartyState&) {}
void runZaSkill2(PartyState&) {}
void runZaSkill3(PartyState&) {}
void runZaSkill4(PartyState&) {}
