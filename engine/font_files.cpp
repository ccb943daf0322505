#include "engine/font_files.h"

// The font files arrive with text drawing.
void buildFontFiles() {}
void loadFontFiles() {}
void freeFontFiles() {}
