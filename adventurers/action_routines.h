// adventurers/action_routines.h: the adventurers' attack and skill routines,
// one per adventurer and action; each advances the party's actionFrame once
// per tick and ends by setting actionState and actionFrame to 0. The dungeon
// control picks the routine by action state and member 0's model.
#pragma once

struct PartyState;

// Until the routines arrive an action runs without end.
void runVuAttack(PartyState& party);
void runVuSkill1(PartyState& party);
void runVuSkill2(PartyState& party);
void runReAttack(PartyState& party);
void runReSkill1(PartyState& party);
void runReSkill2(PartyState& party);
void runReSkill3(PartyState& party);
void runZiAttack(PartyState& party);
void runZiSkill1(PartyState& party);
void runZiSkill2(PartyState& party);
void runZiSkill3(PartyState& party);
void runZiSkill4(PartyState& party);
void runZiSkill5(PartyState& party);
void runZaAttack(PartyState& party);
void runZaSkill1(PartyState& party);
void runZaSkill2(PartyState& party);
void runZaSkill3(PartyState& party);
void runZaSkill4(PartyState& party);
void runZuAttack(PartyState& party);
void runZuAttack2(PartyState& party);
void runZuSkill1(PartyState& party);
void runZuSkill2(PartyState& party);
void runZuSkill3(PartyState& party);
void runZuSkill4(PartyState& party);
void runDoAttack(PartyState& party);
void runDoSkill1(PartyState& party);
void runDoSkill2(PartyState& party);
void runDoSkill3(PartyState& party);
void runDoSkill4(PartyState& party);
void runDeAttack(PartyState& party);
void runDeSkill1(PartyState& party);
void runDeSkill2(PartyState& party);
void runDeSkill3(PartyState& party);
void runZoAttack(PartyState& party);
void runZoSkill1(PartyState& party);

// Moves member 0 and the followers to a random open cell at least 20 units
// away. Until the routines arrive the party stays.
void warpToRandomCell();
