// engine/sound.h: music, sound effects and voices.
#pragma once
#include <cstdint>

extern int32_t gCurrentTrack;   // -1 none

void initSound();
void updateSound();     // after every tick
void unloadSounds();
void shutdownSound();
