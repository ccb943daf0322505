// engine/index_files.h: start-up loading of every index and text table, in
// one fixed order, once, before the glyph cache and the sound are set up.
#pragma once
#include <cstdint>

// Values other parts of the game read, given their only assignment here.
extern int32_t gTrailPeriod;      // period of the dungeon player's trail counter
extern int32_t gTrailLimit;       // and its limit
extern int32_t gJellyfishAlpha;   // alpha the jellyfish enemy kinds are drawn with

void loadIndexFiles();
