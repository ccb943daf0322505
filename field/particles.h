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

// Emits the particles of effect definition `definition` at a world point;
// with an owner and an attach kind that follows, they follow it.
void spawnEffect(const void* owner, float x, float y, float z, int32_t definition, float scale, int32_t lifetime,
                 float angle, int32_t attachKind);
// Starts effect set `set` at a world point in the first free instance;
// dropped when all instances run.
void spawnEffectSet(const void* owner, float x, float y, float z, int32_t set, float scale, int32_t lifetime,
                    float angle, int32_t attachKind);
