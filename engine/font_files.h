// engine/font_files.h: the pre-built glyph font files.
#pragma once

void buildFontFiles();
void loadFontFiles();
void freeFontFiles();
