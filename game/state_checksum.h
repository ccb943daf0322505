// game/state_checksum.h: checksums of the game state and of the drawn
// frame, which tell two headless runs apart.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/state_hash.h"

// A hash of the game state that matters and is plain data: every row of
// the state registry that hashes, in registry order, each under its name.
// No pointer, no padding byte: stable across runs, processes and
// compilers. A row added to a state table changes it (the recorded
// checksums of tests/scripts/ are made again with tollivand-run --sections).
uint64_t headlessStateChecksum(ChecksumScope scope = CHECKSUM_ALL);
// The checksum's sections, one per hashed row, each hashed alone, to tell
// where two runs part: fills at most max, returns how many there are.
constexpr int32_t STATE_SECTION_MAX = 128;
int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max);
// A hash of the last drawn back buffer at the screen size; false when the
// device cannot read it back (the recording device).
bool headlessFrameChecksum(uint64_t& checksum);
