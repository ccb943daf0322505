// tests/engine/game_font_files.h: the font files the build made for the
// sample game folder, read whole, for the glyph and text tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/font_files.h"
#include "tools/archive_writer.h"

inline bool readGameFontFiles(std::vector<uint8_t>& index, std::vector<uint8_t>& data, std::string& error) {
    const std::string dir = std::string(TOLLI_GAME_DATA_DIR) + "/";
    return readSourceFile(dir + FONT_INDEX_FILE, index, error) && readSourceFile(dir + FONT_DATA_FILE, data, error);
}
