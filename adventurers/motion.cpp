#include "adventurers/motion.h"

// Animation and movement arrive with the field's movement; until then the
// figures stand still.
void setMotion(MotionState&, int32_t) {}
void advanceMotion(MotionState&, int32_t, float) {}
float turnToward(float angle, float, float) { return angle; }
void moveAndCollide() {}
int32_t pushOutOfObject(const Vector3&, float, float) { return 0; }
int32_t probeGround(float, float, float, float, float, float, CollisionHit&) { return 2; }
void placePlayer(float, float, float) {}
void getPadDirection(PartyState&) {}
void moveFairy(int32_t, int32_t) {}
void moveFollowers() {}
void spawnAmbientEffects() {}
void updateIdleParty() {}
