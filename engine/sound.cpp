#include "engine/sound.h"

int32_t gCurrentTrack = -1;

// Sound arrives with the mixer; until then the game runs silently, as it
// does when no sound device exists.
void initSound() {}
void updateSound() {}
void applyMusicVolume() {}
void unloadSounds() {}
void shutdownSound() {}
