#include "engine/glyph_cache.h"

// The cache arrives with text drawing.
void initGlyphCache() {}
void ageGlyphCache() {}
