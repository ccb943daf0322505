// shop/table_lines.h: what the shop's table parsers share. Each table is
// read at start-up from its text file; a bad line brings a message box (or,
// for a few, a debug trace) and loading goes on with the next line; rows
// beyond a table are dropped, never written. Each load has a parse entry
// that takes the text from memory.
#pragma once
#include <cstdint>

#include "engine/text_data.h"

bool isTableDigit(char c);
// The position pos bytes into the line, or the line's end when it is shorter.
const char* lineAt(const TextLine& line, int32_t pos);
// The first c in [from, end), or null.
const char* findLineChar(const char* from, const char* end, char c);
// Modal, no owner; loading goes on afterwards.
void showTableText(const char* from, const char* end, const char* caption);

// A table that is full drops every further row; the box is shown once per
// file so a long overflow does not stack up boxes.
struct TableLimit {
    const char* text;
    bool shown;
    bool full(int32_t count, int32_t max);
};

// "%0Nd" followed by the terminator at pos: the number, else -1.
int32_t numberedKey(const TextLine& line, int32_t pos, int32_t digits, char terminator);
