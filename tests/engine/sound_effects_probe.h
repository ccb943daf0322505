// tests/engine/sound_effects_probe.h: what became of the game's sound
// effects, read by number (SOUND_EFFECT_TABLE) rather than by slot.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/sound.h"

// The numbers of the effects asked for and not yet played, in slot order.
inline std::vector<int32_t> requestedEffects() {
    std::vector<int32_t> numbers;
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot)
        if (gSound.effectRequests[slot]) numbers.push_back(SOUND_EFFECT_TABLE[slot]);
    return numbers;
}

// Times the effect of that number has started on the mixer since its
// segments were loaded; -1 for a number with no slot.
inline int32_t effectStarts(int32_t number) {
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot)
        if (SOUND_EFFECT_TABLE[slot] == number) return gEffectSegments[slot].starts;
    return -1;
}
