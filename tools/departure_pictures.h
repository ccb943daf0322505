// tools/departure_pictures.h: the departure screen's dungeon map for the
// picture tool, its six dungeons where dungeon/departure_cells.h puts them.
#pragma once

#include "tools/picture_canvas.h"

// "bmp/dungeonmap.tga", 1024 x 512, of which the game shows (0, 0)-(640, 480):
// land and sea, the roads from town, and a landmark at each dungeon's place
// above the spot its name is written.
Canvas drawDungeonMap();
