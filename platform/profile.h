// platform/profile.h: settings files in the Windows initialisation-file form
// ("[section]" lines, then "key=value" lines, ending in CR LF, LF or CR
// alone), read and written the way the Windows profile functions do:
// sections and keys match without regard to case, a missing file, section
// or key gives the caller's default, and a written key replaces its value in
// place, keeping every other line.
// Used at start-up and at exit only, never during play.
#pragma once
#include <cstdint>

// Larger files are not settings files: they read as missing and are never
// rewritten.
constexpr int32_t PROFILE_MAX_BYTES = 1 << 20;

// A whole file in memory, read once for a pass of reads.
struct ProfileText {
    const char* bytes;   // null: no readable file
    int32_t size;
};

// False when the file is missing, unreadable or too large; text then reads
// as empty. Every loaded text is given back with profileRelease.
bool profileLoad(ProfileText& text, const char* path);
void profileRelease(ProfileText& text);

// Like the Windows integer reader: an empty or missing value gives fallback;
// otherwise leading blanks, one optional sign and the decimal digits up to
// the first other character (none: 0), wrapping at 32 bits.
int32_t profileGetInt(const ProfileText& text, const char* section, const char* key, int32_t fallback);
// Copies the value (trimmed; one pair of enclosing quotes removed) or else
// fallback (its trailing blanks dropped; null reads as "") into out, cut to outSize - 1 bytes and NUL-terminated; returns the
// length copied.
int32_t profileGetString(const ProfileText& text, const char* section, const char* key, const char* fallback,
                         char* out, int32_t outSize);

// Sets key in section to value, creating the file, the section and the key
// as needed. The new file is written beside the old one and renamed over it,
// so a failure (false) leaves the old file as it was, with no temporary file
// beside it, and errno tells why. Names and values may not hold line breaks.
bool profileWriteString(const char* path, const char* section, const char* key, const char* value);
bool profileWriteInt(const char* path, const char* section, const char* key, int32_t value);   // as "%d"
