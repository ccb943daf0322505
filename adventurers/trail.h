// adventurers/trail.h: member 0's trail of the last PARTY_TRAIL_LENGTH
// ticks, and what follows it: the afterimages (copies of older trail
// points) and the clones circling the leader.
#pragma once

#include "adventurers/adventurers.h"

// Heading offsets of the five clones around the leader.
constexpr float CLONE_ANGLE_OFFSETS[PARTY_GHOST_COUNT] = {0.0f, 0.3f, -0.3f, 0.6f, -0.6f};

// One tick: the trail moves on, the afterimages take their trail points,
// the clones follow (and fire when the clone shot timer runs out).
void runTrailAndGhosts(PartyState& party);
