// adventurers/motion.h: the field figures' animation, turning and movement:
// keyframes of a sprite figure, the controlled character's step against
// enemies, floor objects, walls and the ground, and the follower and fairy.
// Main thread, once per logic tick.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

// Rows of a motion block: six ints each, the sixth the duration in ticks.
constexpr int32_t MOTION_BLOCK_ROWS = 42;

// angle turned toward target by at most maxStep the short way round; radians in [-pi, pi].
float turnToward(float angle, float target, float maxStep);
// One movement step of member 0.
void moveAndCollide();
// Tests member 0 against one upright obstacle; 1 when the velocity had to yield.
int32_t pushOutOfObject(const Vector3& objectPosition, float radius, float height);
// 1 ground found under the moved point (x+dx, y+dy, z+dz), 2 none.
int32_t probeGround(float x, float y, float z, float dx, float dy, float dz, CollisionHit& hit);
// Sets the party's facing from the pad or the dash direction.
void getPadDirection(PartyState& party);
// The fairy hovers toward member's side.
void moveFairy(int32_t member, int32_t flag);
void spawnAmbientEffects();
