// engine/sound.h: music, sound effects and voices.
#pragma once
#include <cstdint>

extern int32_t gCurrentTrack;   // -1 none

void initSound();
void updateSound();     // after every tick
// Sets the music path's volume from gOptionMusicLevel and the fade factor;
// after the save file is loaded and when the option changes.
void applyMusicVolume();
void unloadSounds();
void shutdownSound();
