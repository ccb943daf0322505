// story/pause_cells.h: the pause menu's entry labels on the pause sheet
// ("bmp/pause.tga" and its endless twin), which tools/makepictures draws to
// the same cells: the label of entry id at row 40 x id, plain in the first
// column, lit in the second.
#pragma once
#include <cstdint>

constexpr int32_t PAUSE_LABEL_LEFT = 648;
constexpr int32_t PAUSE_LABEL_WIDTH = 160;
constexpr int32_t PAUSE_LABEL_HEIGHT = 39;
constexpr int32_t PAUSE_LABEL_ROW = 40;
constexpr int32_t PAUSE_LABEL_PLATE = 124;   // the drawn plate's width inside a cell
constexpr int32_t PAUSE_LABEL_COUNT = 7;
// By entry id: party status, Food/Medicines, options, save, return to title,
// equipment, collection.
constexpr const char* PAUSE_LABELS[PAUSE_LABEL_COUNT] = {"STATUS", "ITEMS", "OPTIONS", "SAVE",
                                                         "TITLE",  "EQUIP", "COLLECTION"};
