// dungeon/data_tables.h: what the dungeon's start-up table readers share:
// the message a damaged line brings and the item lookups by name.
#pragma once
#include <cstdint>

// The longest text a table message shows of a line.
constexpr int32_t TABLE_MESSAGE_MAX = 255;

// A message box whose text is the bytes from..end (at most TABLE_MESSAGE_MAX)
// under the caption; loading goes on after it.
void showTableMessage(const char* from, const char* end, const char* caption);
// The id of the first valid item whose name begins with the name (an empty
// name matches the first item); -1 none.
int32_t findItemIdByPrefix(const char* name);
// The id of the first valid item whose name equals the name; -1 none.
int32_t findItemIdByName(const char* name);
