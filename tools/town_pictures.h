// tools/town_pictures.h: the town map's pictures for the picture tool: the
// map by day, evening and night, its places where the game's town map puts
// their icons, and the icon sheet of the seven places.
#pragma once
#include <cstdint>

#include "tools/picture_canvas.h"

// The map for picture index 0 (day), 1 (evening) or 2 (night): 1024 x 512, of
// which the game shows (0, 0)-(640, 480). Flat fields, so it packs small.
Canvas drawTownMap(int32_t phase);
// "bmp/mappoint.tga", 256 x 1024: icon cell n is (0, 56n)-(180, 56n + 56), a
// plate with the place's name on a clear ground.
Canvas drawTownMapIcons();
