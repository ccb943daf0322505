// dungeon/departure.h: the adventurers' guild departure screen (mode 11).
#pragma once

void initDepartureScreen();
