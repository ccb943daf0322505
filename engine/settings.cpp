#include "engine/settings.h"

// The values the program runs with when the settings file says nothing.
ScreenSize gScreenSize = {640, 480};
int32_t gWindowed = 1;
int32_t gWindowAspectLock = 1;
int32_t gUseWindowPos = 0;
int32_t gWindowPos[2] = {0, 0};
int32_t gFrameSkip = 0;
int32_t gDispFps = 0;
int32_t gSfNoUse = 0;
char gIniPath[512];

// Reading and writing the file arrive with the settings reader.
void loadSettings() {}
void saveSettings() {}
