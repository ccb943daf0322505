// engine/glyph_cache.h: the small cache of glyph textures text is drawn from.
#pragma once

void initGlyphCache();
void ageGlyphCache();   // once per tick
