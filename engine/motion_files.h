// engine/motion_files.h: the frame lists of the field's sprite sheets, read
// from their motion files as the first step of loadIndexFiles. Read-only
// after start-up.
#pragma once
#include <cstdint>

constexpr int32_t MOTION_FILE_COUNT = 68;     // gMotions slots
constexpr int32_t MOTION_BLOCK_COUNT = 20;    // animations per file
constexpr int32_t MOTION_BLOCK_VALUES = 256;  // ints per animation
constexpr int32_t MOTION_ROW_VALUES = 6;      // a frame row: five direction columns and the duration
constexpr int32_t MOTION_HOLD = 1023;         // "HALT": hold the previous row
constexpr int32_t MOTION_LOOP = -1;           // ends a block: back to row 0

// One sheet's motion file.
struct MotionRecord {
    char name[32];             // first word of the first data line
    char path[32];             // the file read into this slot
    int32_t sheetWidth;        // picture size of the sprite sheet
    int32_t sheetHeight;
    int32_t layoutWidth;       // width of a frame's cell layout, pixels, a multiple of 32
    int32_t headerB;
    int32_t scalePercent;      // drawing scale
    int32_t layoutTop;         // top offset of the layout
    int32_t frames[MOTION_BLOCK_COUNT][MOTION_BLOCK_VALUES];
};
extern MotionRecord gMotions[MOTION_FILE_COUNT];
// The file read into each slot; a file named twice fills both slots alike.
extern const char* const MOTION_FILES[MOTION_FILE_COUNT];

// Reads every slot's file from the data archive; a missing file leaves its
// record empty but for the path.
void loadMotionFiles();
// One motion file's text into the record (not cleared first). Blocks past
// the 20th and values past a block's 255th are dropped (the last entry
// is kept for the closing -1), never written
// outside the record. Pure but for the record.
void parseMotionFile(const char* text, int32_t length, MotionRecord& record);
