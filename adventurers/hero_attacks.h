// adventurers/hero_attacks.h: the attack objects the party's side creates.
#pragma once
#include <cstdint>

struct PartyState;

// Creates the attack objects of kind for the leader (anchor -1) or a clone
// (0..4). Until the attack objects arrive nothing is created.
void spawnHeroAttack(PartyState& party, int32_t kind, int32_t anchor);
