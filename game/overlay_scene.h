// game/overlay_scene.h: what the overlay screens need of the scene they
// interrupt: the shop floor's refusals, a dungeon run's end holding them
// back, and the item list and scene lists kept while an overlay covers the
// scene. Installed as scene hooks (engine/scene_hooks.h); run in a tick.
#pragma once
#include <cstdint>

// An OverlayRuling for an overlay of that kind asked for on a field stage.
int32_t fieldOverlayRuling(int32_t kind);
// 1 while a dungeon run's end holds the overlay back.
int32_t runEndHoldsOverlay(int32_t kind);
void saveOverlayScene();
void leaveOverlayScene();
void restoreOverlayScene();
