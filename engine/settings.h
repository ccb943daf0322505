// engine/settings.h: the settings kept in "tolli.ini" beside the program.
// loadSettings runs once before the window exists (it may change the screen
// size and the window mode) and sets every global below from the file, or
// from its default when the file or the key is missing. saveSettings runs at
// exit and writes back only the two volumes and, when the window position is
// in use, that position; bindings and switches are never written.
#pragma once
#include <cstdint>

struct ScreenSize {
    int32_t width;
    int32_t height;
};

constexpr int32_t TEX_LEVEL_MAX = 3;    // model textures at 1/1, 1/2, 1/4 or 1/8 of their size
constexpr int32_t INI_VOLUME_MAX = 9;

extern ScreenSize gScreenSize;     // back buffer and client size; always 4:3
extern int32_t gWindowed;          // 1 windowed with the menu shortcuts, 0 full screen
extern int32_t gWindowAspectLock;  // 1: sizing the window keeps 4:3
extern int32_t gUseWindowPos;      // non-zero: open at gWindowPos and save it at exit
extern int32_t gWindowPos[2];      // x, y; the shell stores the last one at close
extern int32_t gFrameSkip;         // 0..4: fs + 1 ticks per drawn frame
extern int32_t gDispFps;           // 0: the frame-rate counter is drawn
extern int32_t gSfNoUse;           // non-zero: no off-screen render targets
extern int32_t gIniVolumes[2];     // effects, music: 0..9, only carried back to the file

// Switches that lighten the renderer on weak machines, read by drawing code
// that keeps them here with the other settings:
extern int32_t gTexLevel;          // 0..TEX_LEVEL_MAX; the model texture loader
extern int32_t gEasyDisp;          // non-zero: the mesh loader takes the simplified "_s" models
extern int32_t gEasyDispTextures;  // > 0: the model texture loader takes BMP substitutes
extern int32_t gSEasyDisp;         // non-zero: scenes show fewer customers, crowd and effects
extern int32_t gUseMipmap;         // 1: the world renderer draws field textures without mip filtering
extern int32_t gUseFog;            // 1: the world renderer never turns on stage fog
extern int32_t gUseLightTex;       // 1: the map passes skip the light textures
extern int32_t gNoLight[2];        // 1: the map passes draw the dungeon [0] or the shop [1] unlit
extern int32_t gUseTree;           // 1: floor objects skip trees, grass and their shadows
extern int32_t gTooriOff;          // non-zero: the street crowd and its shadows are not drawn

extern char gIniPath[512];

void loadSettings();
// False when the file could not be written: the player is shown why (one
// box, whichever keys failed), and the old file stays as it was.
bool saveSettings();
