// engine/text_data.h: the line rules every text table of the data archive
// shares, used by the start-up loaders.
// A table is read whole, with a NUL behind. A line ends at CR or LF; empty
// lines and lines starting with '/' (comments) carry nothing. A key is
// matched at the line start over its own length, byte for byte, and its
// value begins at the very next byte: no separator is skipped, so a string
// value keeps a leading space while numbers skip leading blanks.
// Every reader here is bounded by the line's end and never looks past it.
#pragma once
#include <cstdint>
#include <memory>

constexpr int32_t TEXT_ENTRY_SLACK = 10;   // bytes allocated beyond an entry's size
constexpr int32_t TEXT_STRING_MAX = 255;   // characters a string value keeps

// An entry read whole: the bytes are zero-filled beyond the text, so at
// least one NUL stands behind it. Freed when the loader is done with it.
struct TextEntry {
    std::unique_ptr<char[]> bytes;
    int32_t length;   // bytes of text; 0 for a missing entry
};
// A missing or unreadable entry reads as an empty text, so the table that
// comes from it keeps its defaults. slack: extra bytes behind the text.
TextEntry readTextEntry(const char* name, int32_t slack = TEXT_ENTRY_SLACK);
// The loose file of that name when one opens, else the archive entry; at most
// limit bytes of either are read.
TextEntry readLooseOrArchiveEntry(const char* name, int32_t limit);

// One line without its line end.
struct TextLine {
    const char* start;
    const char* end;
};

// Walks the lines of a text of known length; a NUL ends the text early, as
// it ends the buffer the text was read into.
struct TextCursor {
    const char* next;
    const char* end;
};
TextCursor beginText(const char* text, int32_t length);
// Moves to the next line that carries data, passing over empty lines and
// '/' comment lines; false at the end of the text.
bool nextDataLine(TextCursor& cursor, TextLine& line);

// When the line starts with the whole key, the position right after it (the
// start of its value); otherwise null. Case-sensitive.
const char* lineValue(const TextLine& line, const char* key);

// A decimal integer: leading blanks skipped, an optional sign, digits up to
// the first other character; no digits reads 0. Numbers beyond the 32-bit
// range are clamped to it.
int32_t parseTextInt(const char* from, const char* end);
// A decimal number with an optional fraction and exponent, read like the
// integer. Values beyond the float range are clamped to the largest float of
// their sign; values too small for it read as 0.
float parseTextFloat(const char* from, const char* end);

// Up to count values separated by sep. The next value begins after the first
// separator at or after the start of the current one, so an empty value reads
// 0. A value that would start at the line end is not read, and neither are
// the ones after it: those keep what they held. Returns the values read.
int32_t parseTextInts(const char* from, const char* end, char sep, int32_t* values, int32_t count);
int32_t parseTextFloats(const char* from, const char* end, char sep, float* values, int32_t count);

// Copies the rest of the line into dest (TEXT_STRING_MAX + 1 bytes), at most
// TEXT_STRING_MAX bytes and NUL-terminated. A double-byte character that
// would be cut in half is left out whole.
void copyTextString(const char* from, const char* end, char* dest);
// The same into dest of max + 1 bytes: at most max bytes and the terminator.
void copyTextBounded(const char* from, const char* end, char* dest, int32_t max);
