// field/hud.h: the in-game HUD state.
#pragma once

void tickHud();
void emptyOverlayHook();
