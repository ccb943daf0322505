// platform/memory.h: large records and buffers kept cheap to clear and to
// fill the first time. Page faults are most of what a fresh process pays
// for its multi-megabyte records (the save images, the font and archive
// files read whole): a page that is never touched costs nothing, and pages
// that are touched are asked for as large pages, so filling megabytes takes
// a few faults, not thousands. Main thread, while nothing else reads the
// memory.
#pragma once
#include <cstddef>

// Zeroes a zero-initialised record of static storage: its whole pages are
// handed back to the system (they read 0 again, at no cost until touched),
// its edges are written. Every byte reads 0 afterwards.
void clearLargeRecord(void* record, size_t size);
// Asks for large pages under memory not yet touched (a buffer just reserved);
// only a hint, the memory is left as it is.
void preferLargePages(void* memory, size_t size);
