// engine/screen_mapping.h: the game globals set at start-up, the overlay
// camera and the mapping of world positions to the logical screen.
#pragma once

void initGameGlobals();
