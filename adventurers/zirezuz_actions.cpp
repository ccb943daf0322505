// Zirezuz's attack and skill routines.
#include "adventurers/action_routines.h"

void runZiAttack(PartyState&) {}
void runZiSkill1(PartyState&) {}
void runZiSkill2(PartyState&) {}
void runZiSkill3(PartyState&) {}
void runZiSkill4(PartyState&) {}
void runZiSkill5(PartyState&) {}
