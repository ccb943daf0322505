// adventurers/motion.h: the field figures' animation, turning and movement:
// keyframes of a sprite figure, the controlled character's step against
// enemies, floor objects, walls and the ground, and the follower and fairy.
// Main thread, once per logic tick.
#pragma once
#include <cstdint>

#include "adventurers/party.h"

// The fairy's wandering on shop and town stages: 0 rest, 1 fly to the
// target, 2 and 3 two idle poses.
struct FairyWander {
    int32_t phase;
    int32_t ticks;
    float targetX;
    float targetZ;
};
extern FairyWander gFairyWander;
// Set by stage and floor scripts: the follower walks to gAutoWalkTarget
// instead of following member 0.
extern int32_t gAutoWalk;
extern Vector3 gAutoWalkTarget;
// Back to the values a fresh process starts with.
void resetMotionState();

// Rows of a motion block: six ints each, the sixth the duration in ticks.
constexpr int32_t MOTION_BLOCK_ROWS = 42;

// Switches a figure to motion id; the same id keeps its time.
void setMotion(MotionState& state, int32_t id);
// One animation step of a figure of that model at that speed (1.0 normal).
void advanceMotion(MotionState& state, int32_t model, float speed);
// angle turned toward target by at most maxStep the short way round; radians in [-pi, pi].
float turnToward(float angle, float target, float maxStep);
// One movement step of member 0.
void moveAndCollide();
// Tests member 0 against one upright obstacle; 1 when the velocity had to yield.
int32_t pushOutOfObject(const Vector3& objectPosition, float radius, float height);
// 1 ground found under the moved point (x+dx, y+dy, z+dz), 2 none.
int32_t probeGround(float x, float y, float z, float dx, float dy, float dz, CollisionHit& hit);
// Puts member 0 at (x, z) facing angle, still, with the camera snapped.
void placePlayer(float x, float z, float angle);
// Sets the party's facing from the pad or the dash direction.
void getPadDirection(PartyState& party);
// The fairy hovers toward member's side.
void moveFairy(int32_t member, int32_t flag);
// The follower, the fairy and the members' ground heights.
void moveFollowers();
void spawnAmbientEffects();
// The party's tick when nobody controls it.
void updateIdleParty();
