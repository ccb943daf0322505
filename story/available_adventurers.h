// story/available_adventurers.h: the adventurers the story has made
// available, in number order. Refreshed when a shop day begins and when an
// item list opens; the list window shows one portrait per entry.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"

extern int32_t gAvailableAdventurers[ADVENTURER_COUNT];
extern int32_t gAvailableAdventurerCount;

// Fills the list from the running game's availability flags (4 + a).
void listAvailableAdventurers();
// Back to the values a fresh process starts with: none listed.
void resetAvailableAdventurers();
