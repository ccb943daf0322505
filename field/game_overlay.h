// field/game_overlay.h: the 2D layer drawn over the field, the town map and
// the departure screen, once per drawn frame: vignette, letterbox bars,
// balloon, the shop or dungeon HUD, the top bar, the shop's stock menu and
// windows, the ticker, the shop's information panels, the pointer and the
// message window, and the end-of-day curtain. It keeps no state of its own
// except that the ticker clears its counter when its band has closed.
#pragma once
#include <cstdint>

// The scroll badges of the lists: up, and down.
void drawBadge(float x, float y, uint32_t argb);
void drawBadge2(float x, float y, uint32_t argb);
// The height of the letterbox bars at a HUD fade: 0 within -0.1..0.1. Pure.
float letterboxHeight(float fade);
// The day the curtain names: date + 1, at most 9999. Pure.
int32_t curtainDay(int32_t date);
