// story/event_drawing.h: the loading and the drawing of the running event:
// its background model and pictures, the sprites with their blends, the
// sliding panel, the speech balloon with the speaker's name plate and the
// confirm cursor, the typewriter text, the screen fade and the skip hint.
// The state drawn is the event player's (story/event.h); the pictures are
// those its script registered (story/event_script.h). The drawing also moves
// the text's reveal on (it decides when a text is complete), so it runs in
// every configuration, headless included.
#pragma once
#include <cstdint>

#include "engine/sprites.h"

// Everything an event loads lives in this texture group, released at its end.
extern const char EVENT_WINDOW_SHEET[];   // "bmp/ivent/ive_window.tga", 512 x 512
extern const char EVENT_NAME_SHEET[];     // "bmp/ivent/chrname.tga", 512 x 512
constexpr int32_t EVENT_SHEET_SIZE = 512;
constexpr int32_t EVENT_BACKGROUND_WIDTH = 1024;
constexpr int32_t EVENT_BACKGROUND_HEIGHT = 512;
constexpr int32_t EVENT_NAME_PLATE_WIDTH = 128;
constexpr int32_t EVENT_NAME_PLATE_HEIGHT = 32;
constexpr int32_t EVENT_NAME_PLATE_COUNT = 54;   // 22 in the upper columns, 32 below

struct EventSheets {
    TextureSlot window;
    TextureSlot names;
};
extern EventSheets gEventSheets;
// The sheets' slots as a fresh process has them (a new boot in the same process).
void resetEventDrawing();

// Loads into the event group the two sheets, every registered background
// model, background (1024 x 512) and named picture (at its registered size).
// Runs on the event loader thread, and again after a device reset.
void loadEventTextures();
// Backgrounds the running script registered; while above 0 the scene under
// the event is not drawn.
int32_t getEventBackgroundCount();
// The frame's event layer: 2D states, the scene, and the skip question.
void drawEventScene();
void drawEvent();

// Where name-plate cell n lies on the name sheet: cells 0..21 in columns of
// seven from the top left, the rest in columns of eight from y 256. Pure.
SpriteSource eventNamePlateCell(int32_t cell);
// The screen fade's cover 0..255 at counter of length (a length of 0 is
// done at once: a fade-out covers, a fade-in is clear). Pure.
int32_t eventFadeLevel(int32_t mode, int32_t counter, int32_t length);
