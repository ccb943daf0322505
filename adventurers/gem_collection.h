// adventurers/gem_collection.h: member 0 picks up the gems within reach
// (experience for the chosen adventurer, a level-up when it is full) and
// marks the nearest other pickup for the confirm button.
#pragma once

// Once per tick; sets gParty.nearestPickup (-1 none).
void collectGems();
