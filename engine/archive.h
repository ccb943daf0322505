// engine/archive.h: the packed data archive every loader reads through.
// openArchive checks the index, the five volumes and the picture pack once at
// start-up; afterwards loaders ask for an entry by its path: first its
// unpacked size, then its bytes. A loader thread and the main thread may read
// at the same time: every read keeps its own decoder state.
#pragma once
#include <cstdint>

bool openArchive();   // false after showing its own message; start-up then ends
void closeArchive();

// Unpacked size of the named entry (picture pack first, then the index);
// 0 when neither holds it.
int32_t getArchiveEntrySize(const char* name);
// Unpacks the named entry into dest, never writing more than destSize bytes;
// returns the unpacked size, or 0 (dest untouched) when the entry is absent
// or cannot be read.
int32_t readArchiveEntry(const char* name, void* dest, int32_t destSize);
