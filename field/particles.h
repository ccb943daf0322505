// field/particles.h: the data-driven effects at play: the particle pool and
// the running effect sets (field_state.h holds both pools). Spawners emit,
// updateParticles moves them once per logic tick (from updateEffectObjects),
// and the effect passes call drawParticles once per draw method and space
// after setting that method's blend. Main thread only.
#pragma once
#include <cstdint>

#include "field/field_state.h"

// The merchant gauge the overlay particles of attach kind 4 fly to, in
// overlay space (about (64, 452) on the 640x480 screen).
constexpr float GAUGE_TARGET[3] = {13.2f, -10.8f, -520.0f};

// A 640x480 screen point in overlay space.
inline float overlayX(float px) { return 16.5f - px / 19.5f; }
inline float overlayY(float py) { return 12.4f - py / 19.5f; }
constexpr float OVERLAY_Z = -520.0f;

// The emitter behind all four spawners: up to the definition's count of
// free particles in pool order (at least one); a full pool starts fewer.
void spawnParticles(const void* owner, float x, float y, float z, int32_t definition, float scale, int32_t lifetime,
                    float angle, int32_t attachKind, int32_t screen);
// One tick: the running sets fire their slots, then every particle moves.
void updateParticles();
// The live particles of one draw method in one space (screen 1 the overlay).
void drawParticles(int32_t drawMethod, int32_t screen);
// Every particle and set instance free.
void clearEffectPools();
