// field/world_renderer.h: the 3D world of the shop floor and the dungeon.
#pragma once

void drawWorld3D();
