// shop/text_fields.h: bounded copies of Shift-JIS text into the fixed text
// fields of the shop's tables. Used by the table parsers at start-up.
#pragma once
#include <cstdint>

// Copies [from, end) into dest (destSize bytes, at least 1), cut to
// destSize - 1 bytes and NUL-terminated. A double-byte character that would
// be cut in half is left out whole.
void copyTextField(const char* from, const char* end, char* dest, int32_t destSize);

// Whether the NUL-terminated field equals [from, end) exactly.
bool textFieldEquals(const char* field, const char* from, const char* end);

// Whether [from, end) begins with the NUL-terminated word.
bool textBeginsWith(const char* from, const char* end, const char* word);
