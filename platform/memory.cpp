#include "platform/memory.h"

#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

struct PageRange {
    uintptr_t first;
    uintptr_t last;
};

// The whole pages inside [memory, memory + size).
static PageRange wholePages(const void* memory, size_t size) {
    uintptr_t start = reinterpret_cast<uintptr_t>(memory);
    uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    PageRange range = {(start + page - 1) & ~(page - 1), (start + size) & ~(page - 1)};
    if (range.first > range.last) range.last = range.first;
    return range;
}

void preferLargePages(void* memory, size_t size) {
    PageRange range = wholePages(memory, size);
    if (range.first < range.last) madvise(reinterpret_cast<void*>(range.first), range.last - range.first, MADV_HUGEPAGE);
}

// Below this, writing the zeros costs less than handing the pages back: the
// next touch would fault them in again, a large page zeroed whole.
constexpr size_t CLEAR_BY_WRITING_MAX = 2u << 20;

void clearLargeRecord(void* record, size_t size) {
    if (size < CLEAR_BY_WRITING_MAX) {
        memset(record, 0, size);
        return;
    }
    PageRange range = wholePages(record, size);
    // A dropped page of private memory comes back as it started, and a
    // zero-initialised record of static storage started as zeros.
    if (range.first == range.last ||
        madvise(reinterpret_cast<void*>(range.first), range.last - range.first, MADV_DONTNEED) != 0) {
        memset(record, 0, size);
        return;
    }
    preferLargePages(record, size);
    uintptr_t start = reinterpret_cast<uintptr_t>(record);
    memset(record, 0, range.first - start);
    memset(reinterpret_cast<void*>(range.last), 0, start + size - range.last);
}
