// tests/engine/texture_registry_probe.h: what the texture registry holds, for
// the registry and scene-picture tests.
#pragma once
#include <cstdint>

#include "engine/textures.h"

inline int32_t registeredCount() {
    int32_t n = 0;
    for (TextureSlot* entry : gTextureRegistry) n += entry != nullptr;
    return n;
}

inline bool isRegistered(const TextureSlot& slot) {
    for (TextureSlot* entry : gTextureRegistry)
        if (entry == &slot) return true;
    return false;
}
