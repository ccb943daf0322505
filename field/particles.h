// field/particles.h: particles and the timed effect sets that emit them, in
// the world or on the overlay. Spawners call these from the logic tick.
#pragma once
#include <cstdint>

// How a spawned effect behaves toward its owner (kinds 1 to 3 and 5, 6 follow
// the party or an enemy, or start with its velocity).
enum EffectAttachKind : int32_t {
    EFFECT_ATTACH_FREE = 0,
    EFFECT_ATTACH_GAUGE = 4,   // overlay: the particles home on the merchant gauge
};

// A lifetime of 0 or less means the definition's own; spawners pass this.
constexpr int32_t EFFECT_LIFETIME_DEFAULT = -1;

// Starts effect set `set` on the overlay at a 640x480 point; dropped when all
// instances run.
void spawnScreenEffectSet(float px, float py, int32_t set, float scale, int32_t lifetime, int32_t attachKind);

// Emits the particles of effect definition at (x, y, z); with an owner and
// attach kind 5 or 6 they follow it. lifetime -1 keeps the definition's.
void spawnEffect(const void* owner, float x, float y, float z, int32_t definition, float scale, int32_t lifetime,
                 float angle, int32_t attachKind);
