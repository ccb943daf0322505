// story/world_map.h: the town map (mode 8).
#pragma once

void enterWorldMap();
