// field/model_table.h: the model table from "data/model.txt": per model
// number the file and the named parts (frames) whose places the skinned
// models export into their owner's record as they are drawn.
#pragma once
#include <cstdint>

constexpr int32_t MODEL_TABLE_ROWS = 20;
constexpr int32_t MODEL_TABLE_PARTS = 20;
constexpr int32_t MODEL_TABLE_NAME_SIZE = 32;   // 31 characters and the terminator

struct ModelEntry {
    char fileName[MODEL_TABLE_NAME_SIZE];
    int32_t partCount;
    char partNames[MODEL_TABLE_PARTS][MODEL_TABLE_NAME_SIZE];
    uint8_t partPresent[MODEL_TABLE_PARTS];
};
extern ModelEntry gModelTable[MODEL_TABLE_ROWS];

// The lines of a model table over gModelTable, after clearing every part
// count and flag: "no:" picks the current row (a row out of 0..19 takes no
// lines until the next "no:"), "fname:" its file, "kk:" (00..19) part kk.
void parseModelTable(const char* text, int32_t length);
