// engine/settings.h: the settings kept in "tolli.ini" beside the program.
// loadSettings runs before the window exists (it may change the screen size
// and the window mode); saveSettings writes the volumes and the window
// position back at exit.
#pragma once
#include <cstdint>

struct ScreenSize {
    int32_t width;
    int32_t height;
};

extern ScreenSize gScreenSize;     // back buffer and client size; always 4:3
extern int32_t gWindowed;          // 1 windowed with the menu shortcuts, 0 full screen
extern int32_t gWindowAspectLock;  // 1: sizing the window keeps 4:3
extern int32_t gUseWindowPos;      // 1: open at gWindowPos
extern int32_t gWindowPos[2];
extern int32_t gFrameSkip;         // 0..4: fs + 1 ticks per drawn frame
extern int32_t gDispFps;           // 0: the frame-rate counter is drawn
extern int32_t gSfNoUse;           // non-zero: no off-screen render targets
extern char gIniPath[512];

void loadSettings();
void saveSettings();
