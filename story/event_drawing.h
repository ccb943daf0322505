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
#include "story/event_cells.h"
#include "story/story.h"
#include "story/story_files.h"

struct EventSheets {
    TextureSlot window;
    TextureSlot names;
};
extern EventSheets gEventSheets;

// The event itself (no 2D set-up before it, no skip question after it).
void drawEvent();

// The screen fade's cover 0..255 at counter of length (a length of 0 is
// done at once: a fade-out covers, a fade-in is clear). Pure.
int32_t eventFadeLevel(int32_t mode, int32_t counter, int32_t length);
