// game/state_checksum.h: checksums of the game state and of the drawn
// frame, which tell two headless runs apart.
#pragma once
#include <cstddef>
#include <cstdint>

// 64-bit FNV-1a, continued from hash.
constexpr uint64_t FNV64_OFFSET = 0xCBF29CE484222325ull;
constexpr uint64_t FNV64_PRIME = 0x00000100000001B3ull;
uint64_t fnv1a64(const void* bytes, size_t size, uint64_t hash = FNV64_OFFSET);

enum ChecksumScope : int32_t {
    CHECKSUM_ALL = 0,     // everything listed in state_checksum.cpp
    // Leaves out what moves once per drawn frame (the frame counter, the
    // overlay's render counter, the captured-frame flag, the loading sign's
    // turn, the slot list's frame count), so runs that differ only in frame
    // skip can be compared.
    CHECKSUM_TICKS = 1,
};
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
struct StateSection {
    const char* name;
    uint64_t checksum;
};
constexpr int32_t STATE_SECTION_MAX = 32;
int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max);
// A hash of the last drawn back buffer at the screen size; false when the
// device cannot read it back (the recording device).
bool headlessFrameChecksum(uint64_t& checksum);
