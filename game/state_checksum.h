// game/state_checksum.h: checksums of the game state and of the drawn
// frame, which tell two headless runs apart.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/state_hash.h"

// A hash of the game state that matters and is plain data: the frame
// loop's counters, the random state, the running game and the save image,
// fades, loaders, overlay, input, sound choices, dialogs and the scenes'
// state records. No pointer, no padding byte: stable across runs,
// processes and compilers. A state added to the game joins the list in
// state_checksum.cpp (and the recorded checksums of tests/scripts/ are made
// again with tollivand-run --sections).
uint64_t headlessStateChecksum(ChecksumScope scope = CHECKSUM_ALL);
// The checksum's sections, each hashed alone, to tell where two runs part:
// fills at most max, returns how many there are.
constexpr int32_t STATE_SECTION_MAX = 32;
int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max);
// A hash of the last drawn back buffer at the screen size; false when the
// device cannot read it back (the recording device).
bool headlessFrameChecksum(uint64_t& checksum);
